cmake_minimum_required(VERSION 3.25)

# Checks the built Windows library's export and import tables:
#   cmake -DOBJDUMP=<objdump> -DLIBRARY=<tunewell.dll> -P check_library_exports.cmake
# Every entry point must be exported under its plain name, and the library
# may import from system DLLs only (it is linked statically).

execute_process(COMMAND "${OBJDUMP}" -p "${LIBRARY}" OUTPUT_VARIABLE dump RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "objdump failed on ${LIBRARY}")
endif()

set(entryPoints
    VantorRegister VantorQueryLibrary GetVantorSDKVersion InitializeImportedFunctions
    GetMenuCount GetMenuName InvokeMenu GetPanelCount GetPanelName GetPanelXML
    RequestVantorScriptFunctionSignatureList OnOpen OnClose OnStatusChanged OnModeChanged
    OnEditStateChanged OnSwitchToWiringView OnSwitchToPanelView OnTempoChanged
    OnGlobalPlayStateChanged OnTunerModeChanged OnRackspaceActivated OnSongChanged
    OnSongPartChanged OnVariationChanged OnSetlistChanged OnWidgetValueChanged
    OnWidgetStateChanged OnWidgetCaptionChanged OnMidiIn OnMidiDeviceListChanged hex2bin)

# The name table runs from its heading to the next empty line; its lines
# look like "	[   3] GetMenuName".
string(FIND "${dump}" "[Ordinal/Name Pointer] Table" tableStart)
if(tableStart LESS 0)
    message(FATAL_ERROR "${LIBRARY} has no export name table")
endif()
string(SUBSTRING "${dump}" ${tableStart} -1 exportTable)
string(FIND "${exportTable}" "\n\n" tableEnd)
string(SUBSTRING "${exportTable}" 0 ${tableEnd} exportTable)
string(REGEX MATCHALL "\\[ *[0-9]+\\] [A-Za-z_0-9@?$]+" exportLines "${exportTable}")
set(exports "")
foreach(line IN LISTS exportLines)
    string(REGEX REPLACE "^\\[ *[0-9]+\\] " "" name "${line}")
    list(APPEND exports "${name}")
endforeach()

set(failures "")
foreach(entryPoint IN LISTS entryPoints)
    if(NOT entryPoint IN_LIST exports)
        string(APPEND failures "  missing export ${entryPoint}\n")
    endif()
endforeach()

set(systemLibraries
    kernel32.dll user32.dll gdi32.dll advapi32.dll msvcrt.dll ucrtbase.dll ole32.dll oleaut32.dll
    shell32.dll shlwapi.dll version.dll comctl32.dll ntdll.dll)
string(REGEX MATCHALL "DLL Name: [^\r\n]+" importLines "${dump}")
if(NOT importLines)
    string(APPEND failures "  no import table found\n")
endif()
foreach(line IN LISTS importLines)
    string(REGEX REPLACE "^DLL Name: " "" library "${line}")
    string(STRIP "${library}" library)
    string(TOLOWER "${library}" lowerLibrary)
    if(NOT lowerLibrary IN_LIST systemLibraries AND NOT lowerLibrary MATCHES "^api-ms-win-")
        string(APPEND failures "  imports non-system library ${library}\n")
    endif()
endforeach()

if(failures)
    message(FATAL_ERROR "${LIBRARY}:\n${failures}")
endif()
list(LENGTH exports exportCount)
message(STATUS "${exportCount} exports, imports only from system libraries: ${importLines}")
