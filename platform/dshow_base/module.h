// The module (DLL or EXE) that holds this code and its resources.
#pragma once

#include <windows.h>

#include <string>

// Handle of the module this layer is linked into: set by the DLL entry point
// of a filter module; in an EXE it is the EXE itself. Dialog and string
// resources of property pages are loaded from here.
HINSTANCE ModuleInstance();

// Overrides the module handle; the DLL entry point calls it on attach.
void SetModuleInstance(HINSTANCE instance);

// Full path of ModuleInstance()'s file; empty on failure.
std::wstring ModulePath();
