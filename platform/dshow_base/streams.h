// Everything of the DirectShow base-class layer in one include.
#pragma once

#include <windows.h>
#include <dshow.h>

#include "dshow_base/com_ptr.h"
#include "dshow_base/debug.h"
#include "dshow_base/filter.h"
#include "dshow_base/live_source.h"
#include "dshow_base/media_type.h"
#include "dshow_base/pin.h"
#include "dshow_base/ref_time.h"
#include "dshow_base/seeking.h"
#include "dshow_base/source.h"
#include "dshow_base/sync.h"
#include "dshow_base/transform.h"
#include "dshow_base/unknown.h"

// Module plumbing: class factory, registration, property pages.
#include "dshow_base/factory.h"
#include "dshow_base/module.h"
#include "dshow_base/property_page.h"
#include "dshow_base/register.h"
#include "dshow_base/setup.h"
