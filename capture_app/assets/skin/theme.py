"""Colours and the frame's geometry. Every piece and every button background
is cut from one imaginary window, NOMINAL_W x NOMINAL_H, in the wide layout:
pieces that the program tiles or places by an edge then meet without seams,
whatever size the real window has."""
from .raster import hex_colour as c

NOMINAL_W, NOMINAL_H = 700, 600
MID = NOMINAL_W // 2
TOP_BAR = 35       # the preview starts this far down
SIDE = 21          # left and right border width
BOTTOM_BAR = 94    # the preview ends this far above the bottom
BAR_TOP = NOMINAL_H - BOTTOM_BAR

# The window's rounded region: from (3, 3) to (w - 2, h - 2), corner ellipse 17 x 12.
REGION_INSET = 3
CORNER_RX, CORNER_RY = 8.5, 6.0

# The dock behind the command buttons, in bar rows, centred on the window.
DOCK_HALF_WIDTH = 200
DOCK_TOP, DOCK_BOTTOM = 38, 89
DOCK_RADIUS = 12

BORDER = c("0b0d10")
TOP_HIGHLIGHT = c("353b45")
TOP_FROM, TOP_TO = c("2a2f38"), c("1f232a")
SIDE_FILL = c("1f232a")
PREVIEW_EDGE = c("0e1013")
BAR_FROM, BAR_TO = c("1f232a"), c("181b20")
DOCK = c("272c34")
DOCK_EDGE = c("2f3540")

ACCENT = c("3b82f6")
ACCENT_LIGHT = c("60a5fa")
ACCENT_DARK = c("2563eb")
RED = c("ef4444")
RED_LIGHT = c("f87171")
RED_DARK = c("dc2626")
GOLD = c("f5c542")

BUTTON = c("333a45")
BUTTON_HOVER = c("3e4653")
BUTTON_OFF = c("2a2f37")
GLYPH = c("d7dce3")
GLYPH_HOVER = c("ffffff")
GLYPH_OFF = c("545b66")
TITLE_GLYPH = c("aeb6c2")
TITLE_HOVER = c("3a414c")
CLOSE_HOVER = c("e5484d")
CLOSE_DOWN = c("c53030")
WHITE = c("ffffff")
