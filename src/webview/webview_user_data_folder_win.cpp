#include "webview/webview_win.h"

#include <shlobj.h>

namespace tunewell::ui
{

// The profile lives in a folder named like the host's executable (extension
// included), so every host program keeps a browser profile of its own.
std::wstring WebView2Host::getUserDataFolder()
{
    wchar_t executablePath[MAX_PATH] {};
    GetModuleFileNameW (nullptr, executablePath, MAX_PATH);

    const std::wstring path (executablePath);
    const auto lastBackslash = path.rfind (L'\\');
    const std::wstring fileName = lastBackslash == std::wstring::npos ? path : path.substr (lastBackslash + 1);

    wchar_t appData[MAX_PATH] {};

    if (FAILED (SHGetFolderPathW (nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData)))
        return {};

    std::wstring folder (appData);

    if (! folder.empty() && folder.back() != L'\\')
        folder += L'\\';

    return folder + fileName;
}

} // namespace tunewell::ui
