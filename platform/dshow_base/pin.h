// The pin classes: CBasePin, CBaseInputPin, CBaseOutputPin and their enumerators.
#pragma once

#include "dshow_base/base_pin.h"
#include "dshow_base/enumerators.h"
#include "dshow_base/input_pin.h"
#include "dshow_base/output_pin.h"
