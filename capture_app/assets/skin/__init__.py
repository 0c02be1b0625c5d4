"""Snapory's skin, drawn from code: canvas, shapes, lettering, icons and pieces."""
