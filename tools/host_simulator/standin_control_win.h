#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace host_simulator
{

/// The stand-in WebView2 runtime's control DLL, reached by name at run time
/// so that the simulator also hosts a library built with another browser.
/// Use it on the simulator's thread.
class StandinControl
{
public:
    StandinControl();
    ~StandinControl();

    StandinControl (const StandinControl&) = delete;
    StandinControl& operator= (const StandinControl&) = delete;

    bool isAvailable() const { return postWebMessageFunction != nullptr && logCountFunction != nullptr; }

    /// Posts a message (UTF-8) as the current page would; false without a
    /// control DLL, a current view or a convertible text.
    bool postWebMessage (const std::string& utf8Message);

    /// The texts (UTF-8) of every logged call of this operation, in order.
    std::vector<std::string> loggedTexts (const wchar_t* operation) const;

private:
    using PostFunction = int (*) (const wchar_t*);
    using CountFunction = size_t (*)();
    using CopyFunction = size_t (*) (size_t, wchar_t*, size_t);

    HMODULE module = nullptr;
    PostFunction postWebMessageFunction = nullptr;
    CountFunction logCountFunction = nullptr;
    CopyFunction logOperationFunction = nullptr;
    CopyFunction logTextFunction = nullptr;

    static std::wstring copied (CopyFunction copy, size_t index);
};

} // namespace host_simulator
