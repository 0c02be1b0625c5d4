// What the system device enumerator and the filter mapper list, for the
// registration tests.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct ListedDevice {
    std::wstring displayName;   // the moniker's display name
    bool hasFriendlyName = false;
    std::wstring friendlyName;
    CLSID clsid = {};           // from the property bag's "CLSID"
};

// Every entry of a category (empty when the category is empty).
std::vector<ListedDevice> ListCategory(REFCLSID category);
// Entries of the category whose CLSID is clsid.
std::vector<ListedDevice> ListCategoryFor(REFCLSID category, REFCLSID clsid);
// Filters IFilterMapper2::EnumMatchingFilters offers for an input pin of this type.
std::vector<ListedDevice> MatchingFilters(const GUID& major, const GUID& minor, DWORD minMerit);

// Binds the first entry of the category whose CLSID is clsid, as an
// application opens a device.
HRESULT BindListed(REFCLSID category, REFCLSID clsid, REFIID riid, void** ppv);
