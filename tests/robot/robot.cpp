#include "robot.h"

#include <algorithm>

#include "templates.h"

namespace robot {
namespace {

const DWORD POLL_MS = 20;

std::string narrow(const wchar_t* text)
{
    char buffer[4096];
    int n = WideCharToMultiByte(CP_ACP, 0, text, -1, buffer, sizeof buffer, nullptr, nullptr);
    return n > 0 ? std::string(buffer, n - 1) : std::string();
}

std::string class_of(HWND window)
{
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

// The text of a window. Static texts, buttons and captions are read from
// what the window manager keeps, which works even while the program is
// busy; an edit box keeps its own text and has to be asked.
std::string text_of(HWND window)
{
    if (lstrcmpiA(class_of(window).c_str(), "Edit") == 0) {
        static char buffer[65536];
        DWORD_PTR length = 0;
        if (!SendMessageTimeoutA(window, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer),
                                 SMTO_ABORTIFHUNG, 10000, &length))
            return std::string();
        return std::string(buffer, length);
    }
    wchar_t buffer[4096] = {};
    InternalGetWindowText(window, buffer, 4096);
    return narrow(buffer);
}

struct Found {
    DWORD processId;
    std::vector<HWND> windows;
};

BOOL CALLBACK collect_dialog(HWND window, LPARAM param)
{
    Found* found = reinterpret_cast<Found*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == found->processId && IsWindowVisible(window) && class_of(window) == "#32770")
        found->windows.push_back(window);
    return TRUE;
}

BOOL CALLBACK collect_child(HWND window, LPARAM param)
{
    reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
    return TRUE;
}

std::string upper(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(toupper(c)); });
    return s;
}

// Texts that the program puts into a control while the dialog opens.
bool set_at_run_time(int id)
{
    return id == 1002 || id == 1004 || id == 1005;
}

// The template a live dialog shows: the same title, the same controls in
// the same order, and the same fixed texts.
std::string template_name(const Dialog& dialog)
{
    for (const templates::Template& t : templates::All()) {
        if (t.title != dialog.title || t.controls.size() != dialog.controls.size())
            continue;
        bool same = true;
        for (size_t i = 0; i < t.controls.size() && same; ++i) {
            const templates::Control& expected = t.controls[i];
            const Control& live = dialog.controls[i];
            same = expected.id == live.id && upper(expected.className) == upper(live.className) &&
                   (expected.text.empty() || expected.text[0] == '#' || set_at_run_time(expected.id) ||
                    expected.text == live.text);
        }
        if (same)
            return t.name;
    }
    return std::string();
}

Dialog read_dialog(HWND window)
{
    Dialog dialog;
    dialog.window = window;
    dialog.title = text_of(window);
    dialog.owner = GetWindow(window, GW_OWNER);
    GetWindowRect(window, &dialog.rect);
    std::vector<HWND> children;
    EnumChildWindows(window, collect_child, reinterpret_cast<LPARAM>(&children));
    for (HWND child : children) {
        if (GetParent(child) != window)
            continue;  // the inner windows of a control
        Control c;
        c.window = child;
        c.id = static_cast<short>(GetDlgCtrlID(child));
        c.className = class_of(child);
        c.text = text_of(child);
        c.style = static_cast<DWORD>(GetWindowLongA(child, GWL_STYLE));
        c.enabled = IsWindowEnabled(child) != FALSE;
        c.visible = IsWindowVisible(child) != FALSE;
        dialog.controls.push_back(c);
    }
    dialog.name = template_name(dialog);

    GUITHREADINFO gui = {};
    gui.cbSize = sizeof gui;
    if (GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &gui) && gui.hwndFocus &&
        GetParent(gui.hwndFocus) == window)
        dialog.focus = static_cast<short>(GetDlgCtrlID(gui.hwndFocus));
    return dialog;
}

}  // namespace

const Control* Dialog::control(int id) const
{
    for (const Control& c : controls)
        if (c.id == id)
            return &c;
    return nullptr;
}

std::string Dialog::text(int id) const
{
    const Control* c = control(id);
    return c ? c->text : std::string();
}

std::string Dialog::message() const
{
    for (const Control& c : controls)
        if (lstrcmpiA(c.className.c_str(), "Static") == 0 && (c.style & SS_TYPEMASK) != SS_ICON)
            return c.text;
    return std::string();
}

COLORREF Image::at(int x, int y) const
{
    DWORD p = pixels[static_cast<size_t>(y) * width + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

bool Image::save(const std::string& bmpPath) const
{
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER info = {};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = -height;
    info.biPlanes = 1;
    info.biBitCount = 32;
    info.biCompression = BI_RGB;
    DWORD bytes = static_cast<DWORD>(pixels.size() * 4);
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + bytes;
    HANDLE out = CreateFileA(bmpPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (out == INVALID_HANDLE_VALUE)
        return false;
    DWORD written;
    bool ok = WriteFile(out, &file, sizeof file, &written, nullptr) &&
              WriteFile(out, &info, sizeof info, &written, nullptr) &&
              WriteFile(out, pixels.data(), bytes, &written, nullptr);
    CloseHandle(out);
    return ok;
}

bool CaptureScreen(Image& image)
{
    image.width = GetSystemMetrics(SM_CXSCREEN);
    image.height = GetSystemMetrics(SM_CYSCREEN);
    image.pixels.assign(static_cast<size_t>(image.width) * image.height, 0);

    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = image.width;
    info.bmiHeader.biHeight = -image.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool ok = dib != nullptr;
    if (ok) {
        HGDIOBJ old = SelectObject(memory, dib);
        ok = BitBlt(memory, 0, 0, image.width, image.height, screen, 0, 0, SRCCOPY) != FALSE;
        GdiFlush();
        memcpy(image.pixels.data(), bits, image.pixels.size() * 4);
        for (DWORD& pixel : image.pixels)
            pixel &= 0xFFFFFF;  // GDI leaves something in the unused byte here and there
        SelectObject(memory, old);
        DeleteObject(dib);
    }
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return ok;
}

void RemoveTree(const std::string& path)
{
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = entry.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string child = path + "\\" + name;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(child);
            } else {
                SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(child.c_str());
            }
        } while (FindNextFileA(search, &entry));
        FindClose(search);
    }
    RemoveDirectoryA(path.c_str());
}

struct ClassSearch {
    const char* name;
    DWORD processId;
};

BOOL CALLBACK find_class(HWND window, LPARAM param)
{
    ClassSearch* search = reinterpret_cast<ClassSearch*>(param);
    if (IsWindowVisible(window) && class_of(window) == search->name) {
        GetWindowThreadProcessId(window, &search->processId);
        return FALSE;
    }
    return TRUE;
}

DWORD ProcessWithWindow(const char* windowClass, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    do {
        ClassSearch search = { windowClass, 0 };
        EnumWindows(find_class, reinterpret_cast<LPARAM>(&search));
        if (search.processId)
            return search.processId;
        Sleep(POLL_MS);
    } while (GetTickCount() - start < timeoutMs);
    return 0;
}

BOOL CALLBACK close_folder_window(HWND window, LPARAM)
{
    std::string name = class_of(window);
    if (name == "CabinetWClass" || name == "ExploreWClass")
        PostMessageA(window, WM_CLOSE, 0, 0);
    return TRUE;
}

void CloseShellWindows()
{
    EnumWindows(close_folder_window, 0);
}

std::string ProgramFolder()
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    return folder.substr(0, folder.find_last_of('\\'));
}

std::string ProductFolder()
{
    std::string folder = "Z:" CORVANE_PRODUCT_DIR;  // the build's folder, seen through drive Z:
    for (char& c : folder)
        if (c == '/')
            c = '\\';
    return folder;
}

std::string SetupPath()
{
    return ProductFolder() + "\\SETUP.EXE";
}

Session::Session(const std::string& commandTail, const std::string& program)
{
    std::string line = "\"" + program + "\"";
    if (!commandTail.empty())
        line += " " + commandTail;
    std::vector<char> buffer(line.begin(), line.end());
    buffer.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (CreateProcessA(program.c_str(), buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                       &info)) {
        process_ = info.hProcess;
        processId_ = info.dwProcessId;
        CloseHandle(info.hThread);
    }
}

Session::Session(DWORD processId, bool owned) : processId_(processId)
{
    if (owned)
        process_ = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, processId);
}

Session::~Session()
{
    if (!process_)
        return;
    if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
        TerminateProcess(process_, 99);
        WaitForSingleObject(process_, 5000);
    }
    CloseHandle(process_);
}

Dialog Session::next(DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    do {
        Found found = { processId_, {} };
        EnumWindows(collect_dialog, reinterpret_cast<LPARAM>(&found));
        // Windows come top first; the one lowest down appeared first.
        for (auto window = found.windows.rbegin(); window != found.windows.rend(); ++window) {
            if (std::find(seen_.begin(), seen_.end(), *window) != seen_.end())
                continue;
            seen_.push_back(*window);
            Dialog dialog = read_dialog(*window);
            // One that ended while it was being read went by unseen, as it
            // would for a person.
            if (IsWindow(*window) && IsWindowVisible(*window))
                return dialog;
        }
        Sleep(POLL_MS);
    } while (GetTickCount() - start < timeoutMs);
    return Dialog();
}

Dialog Session::reread(const Dialog& dialog) const
{
    return IsWindow(dialog.window) ? read_dialog(dialog.window) : Dialog();
}

bool Session::press(const Dialog& dialog, int id)
{
    HWND button = GetDlgItem(dialog.window, id);
    if (!button || !IsWindowVisible(button) || !IsWindowEnabled(button))
        return false;
    // A click, from the button's point of view: down and up inside it.
    PostMessageA(button, BM_CLICK, 0, 0);
    return true;
}

void Session::key(const Dialog& dialog, WORD virtualKey)
{
    // Keys go to the window with the focus, through the dialog's own
    // message loop, as typed keys do.
    GUITHREADINFO gui = {};
    gui.cbSize = sizeof gui;
    DWORD thread = GetWindowThreadProcessId(dialog.window, nullptr);
    HWND target = GetGUIThreadInfo(thread, &gui) && gui.hwndFocus ? gui.hwndFocus : dialog.window;
    UINT scan = MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC);
    PostMessageA(target, WM_KEYDOWN, virtualKey, 1 | (scan << 16));
    PostMessageA(target, WM_KEYUP, virtualKey, 1 | (scan << 16) | 0xC0000000);
}

void Session::enter(const Dialog& dialog)
{
    key(dialog, VK_RETURN);
}

void Session::escape(const Dialog& dialog)
{
    key(dialog, VK_ESCAPE);
}

bool Session::closeBox(const Dialog& dialog)
{
    LONG style = GetWindowLongA(dialog.window, GWL_STYLE);
    if ((style & WS_CAPTION) != WS_CAPTION || !(style & WS_SYSMENU))
        return false;
    PostMessageA(dialog.window, WM_SYSCOMMAND, SC_CLOSE, 0);
    return true;
}

void Session::type(const Dialog& dialog, int id, const std::string& text)
{
    HWND edit = GetDlgItem(dialog.window, id);
    PostMessageA(edit, EM_SETSEL, 0, -1);
    PostMessageA(edit, WM_CHAR, VK_BACK, 1);  // clears the selection, also for an empty text
    for (unsigned char c : text)
        PostMessageA(edit, WM_CHAR, c, 1);
    // A person sees the text arrive before going on.
    DWORD start = GetTickCount();
    while (text_of(edit) != text && GetTickCount() - start < 5000)
        Sleep(POLL_MS);
}

bool Session::gone(const Dialog& dialog, DWORD timeoutMs) const
{
    DWORD start = GetTickCount();
    while (IsWindow(dialog.window) && IsWindowVisible(dialog.window)) {
        if (GetTickCount() - start >= timeoutMs)
            return false;
        Sleep(POLL_MS);
    }
    return true;
}

DWORD Session::exitCode(DWORD timeoutMs)
{
    DWORD code = STILL_ACTIVE;
    if (process_ && WaitForSingleObject(process_, timeoutMs) == WAIT_OBJECT_0)
        GetExitCodeProcess(process_, &code);
    return code;
}

}  // namespace robot
