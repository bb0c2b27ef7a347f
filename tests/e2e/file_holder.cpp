// Another program holding a file, as an antivirus or the application does:
// it reads it and shares only reading, from its start until the time
// given has passed or it is asked to close. It has a top-level window, so
// that it can be asked as applications are.
//
//     file_holder.exe PATH MILLISECONDS
//
// Exit code: 0 when the time passed, 3 when it was asked to close, 2 when
// the file could not be opened.
#include <windows.h>
#include <shellapi.h>

#include <stdlib.h>

namespace {

const UINT_PTR TIME_UP = 1;
const int ASKED_TO_CLOSE = 3;

LRESULT CALLBACK window_procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_TIMER:
        PostQuitMessage(0);
        return 0;
    case WM_QUERYENDSESSION:
        return TRUE;
    case WM_ENDSESSION:
    case WM_CLOSE:
        PostQuitMessage(ASKED_TO_CLOSE);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    int count = 0;
    LPWSTR* words = CommandLineToArgvW(GetCommandLineW(), &count);
    if (count != 3)
        return 2;
    HANDLE file = CreateFileW(words[1], GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 2;
    WNDCLASSW kind = {};
    kind.lpfnWndProc = window_procedure;
    kind.hInstance = instance;
    kind.lpszClassName = L"CorvaneFileHolder";
    RegisterClassW(&kind);
    HWND window = CreateWindowW(kind.lpszClassName, L"File holder", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                                nullptr, instance, nullptr);
    SetTimer(window, TIME_UP, static_cast<UINT>(wcstoul(words[2], nullptr, 10)), nullptr);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0)
        DispatchMessageW(&message);
    CloseHandle(file);
    return static_cast<int>(message.wParam);
}
