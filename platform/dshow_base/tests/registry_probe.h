// Reads HKEY_CLASSES_ROOT for the registration tests, independently of the
// code under test.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

std::wstring GuidText(REFGUID guid);
std::wstring ClassKey(REFCLSID clsid);                            // CLSID\{clsid}
std::wstring InstanceKey(REFCLSID category, const std::wstring& instance);  // CLSID\{cat}\Instance\<instance>

bool KeyExists(const std::wstring& path);
bool ValueExists(const std::wstring& path, LPCWSTR name);
// Empty when absent.
std::wstring StringValue(const std::wstring& path, LPCWSTR name);

// Every key and value under path (names, types and bytes), to compare states.
using RegistrySnapshot = std::map<std::wstring, std::vector<BYTE>>;
RegistrySnapshot Snapshot(const std::wstring& path);

// Test-side writes and removal (foreign registrations, clean-up).
void WriteString(const std::wstring& path, LPCWSTR name, LPCWSTR value);
void DeleteTree(const std::wstring& path);
