// Seeking on a tee output: questions go upstream from every output, but only
// the primary output (see CInfTee::IsPrimaryOutput) passes position and rate
// changes on. A graph seeks every renderer, and one seek of the source per
// graph seek is what each branch expects to see.
#pragma once

#include "dshow_base/seeking.h"

namespace system_filters {

class CInfTee;
class CInfTeeOutputPin;

class CTeePosition : public CPosPassThru {
public:
    CTeePosition(CInfTeeOutputPin* pin, CInfTee* tee);

    STDMETHODIMP SetTimeFormat(const GUID* format) override;
    STDMETHODIMP SetPositions(LONGLONG* current, DWORD currentFlags, LONGLONG* stop,
                              DWORD stopFlags) override;
    STDMETHODIMP SetRate(double rate) override;
    STDMETHODIMP put_CurrentPosition(REFTIME time) override;
    STDMETHODIMP put_StopTime(REFTIME time) override;
    STDMETHODIMP put_PrerollTime(REFTIME time) override;
    STDMETHODIMP put_Rate(double rate) override;

private:
    bool Primary() const;

    CInfTeeOutputPin* pin_;  // our outer object
    CInfTee* tee_;           // owns the pin
};

}  // namespace system_filters
