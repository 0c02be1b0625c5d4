// Everything a dialog program built on the framework uses.
#pragma once

#include "dialog_framework/application.h"
#include "dialog_framework/common_dialogs.h"
#include "dialog_framework/controls.h"
#include "dialog_framework/device_context.h"
#include "dialog_framework/dialog.h"
#include "dialog_framework/gdi_objects.h"
#include "dialog_framework/geometry.h"
#include "dialog_framework/menu.h"
#include "dialog_framework/typed_arrays.h"
#include "dialog_framework/wide_string.h"
#include "dialog_framework/window.h"
