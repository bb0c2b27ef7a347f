// Another program holding a file, as an antivirus or the application does:
// reading it and sharing only reading, until the time given has passed or
// it is asked to close (its top-level window lets it be asked).
//     file_holder.exe PATH MILLISECONDS
// Exit code: 0 when the time passed, 3 when asked to close, 2 without the file.
#include <windows.h>
#include <shellapi.h>

#include <stdlib.h>

static LRESULT CALLBACK window_procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_TIMER || message == WM_CLOSE || message == WM_ENDSESSION)
        PostQuitMessage(message == WM_TIMER ? 0 : 3);
    return message == WM_CLOSE ? 0 : DefWindowProcW(window, message, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    int count = 0;
    LPWSTR* words = CommandLineToArgvW(GetCommandLineW(), &count);
    HANDLE file = count == 3 ? CreateFileW(words[1], GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr)
                             : INVALID_HANDLE_VALUE;
    if (file == INVALID_HANDLE_VALUE)
        return 2;
    WNDCLASSW kind = {0, window_procedure, 0, 0, instance, nullptr, nullptr, nullptr, nullptr, L"CorvaneFileHolder"};
    RegisterClassW(&kind);
    HWND window = CreateWindowW(kind.lpszClassName, L"File holder", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                                nullptr, instance, nullptr);
    SetTimer(window, 1, static_cast<UINT>(wcstoul(words[2], nullptr, 10)), nullptr);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0)
        DispatchMessageW(&message);
    CloseHandle(file);
    return static_cast<int>(message.wParam);
}
