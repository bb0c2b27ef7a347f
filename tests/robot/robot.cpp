#include "robot.h"

#include <algorithm>
#include <cstdio>

#include "machine.h"

namespace robot {
namespace {

const DWORD POLL_MS = 20;

// The desktop shell's folder windows, Windows' and Wine's.
const char* const SHELL_FOLDER_CLASSES[] = {"CabinetWClass", "ExploreWClass", "ExplorerWClass"};

bool is_shell_folder(const std::string& windowClass)
{
    return std::find(std::begin(SHELL_FOLDER_CLASSES), std::end(SHELL_FOLDER_CLASSES), windowClass) !=
           std::end(SHELL_FOLDER_CLASSES);
}

std::string class_of(HWND window)
{
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

// Static texts, buttons and captions are read from what the window manager
// keeps, which works while the program is busy; an edit box has to be asked.
// In UTF-8, so that a text the program's code page cannot hold is read too.
std::string text_of(HWND window)
{
    static wchar_t wide[65536];
    wide[0] = L'\0';
    if (lstrcmpiA(class_of(window).c_str(), "Edit") == 0) {
        DWORD_PTR length = 0;
        SendMessageTimeoutW(window, WM_GETTEXT, 65536, reinterpret_cast<LPARAM>(wide), SMTO_ABORTIFHUNG, 10000, &length);
    } else {
        InternalGetWindowText(window, wide, 65536);
    }
    return machine::Narrow(wide, CP_UTF8);
}

BOOL CALLBACK collect(HWND window, LPARAM list)
{
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

// A window's title and controls as a person sees them.
Dialog read_window(HWND window)
{
    Dialog dialog;
    dialog.window = window;
    dialog.title = text_of(window);
    GetWindowRect(window, &dialog.rect);
    std::vector<HWND> children;
    EnumChildWindows(window, collect, reinterpret_cast<LPARAM>(&children));
    for (HWND child : children)
        if (GetParent(child) == window)  // not the inner windows of a control
            dialog.controls.push_back({static_cast<short>(GetDlgCtrlID(child)), class_of(child), text_of(child),
                                       IsWindowEnabled(child) != FALSE});
    return dialog;
}

INT_PTR CALLBACK inert(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

HMODULE setup_resources()
{
    static HMODULE setup = LoadLibraryExA(SetupPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    return setup;
}

LANGID g_language = 0;  // the templates' language; 0 for Windows' choice

// Each template made into a hidden dialog here and read as a live one is,
// of the wide kind as the program makes them; in one language, when
// `language` names one.
struct TemplateList {
    LANGID language;
    std::vector<Template> list;
};

BOOL CALLBACK add_template(HMODULE module, LPCSTR, LPSTR name, LONG_PTR into)
{
    TemplateList& templates = *reinterpret_cast<TemplateList*>(into);
    const std::wstring wideName = IS_INTRESOURCE(name) ? L"" : machine::Widen(name);
    LPCWSTR key = IS_INTRESOURCE(name) ? reinterpret_cast<LPCWSTR>(name) : wideName.c_str();
    HWND made = nullptr;
    if (!templates.language) {
        made = CreateDialogParamW(module, key, nullptr, inert, 0);
    } else if (HRSRC found = FindResourceExW(module, MAKEINTRESOURCEW(5), key, templates.language)) {
        made = CreateDialogIndirectParamW(module, static_cast<LPCDLGTEMPLATEW>(LockResource(LoadResource(module, found))),
                                          nullptr, inert, 0);
    }
    if (!made)
        return TRUE;
    Dialog d = read_window(made);
    DestroyWindow(made);
    std::string shown = IS_INTRESOURCE(name) ? "#" + std::to_string(reinterpret_cast<ULONG_PTR>(name)) : name;
    templates.list.push_back({shown, d.title, d.controls});
    return TRUE;
}

// The template a live dialog shows: its title, and its controls' ids,
// classes and texts in order, but for the texts the program sets.
Dialog read_dialog(HWND window)
{
    Dialog dialog = read_window(window);
    for (const Template& t : Templates()) {
        bool same = t.title == dialog.title && t.controls.size() == dialog.controls.size();
        for (size_t i = 0; same && i < t.controls.size(); ++i) {
            const Control& a = t.controls[i];
            const Control& b = dialog.controls[i];
            same = a.id == b.id && a.className == b.className && (a.text == b.text || (a.id >= 1002 && a.id <= 1005));
        }
        if (same)
            dialog.name = t.name;
    }
    return dialog;
}

std::vector<HWND> windows_of_class(const char* name, DWORD processId)
{
    std::vector<HWND> all, found;
    EnumWindows(collect, reinterpret_cast<LPARAM>(&all));
    for (HWND window : all) {
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        if ((!processId || pid == processId) && IsWindowVisible(window) && class_of(window) == name)
            found.push_back(window);
    }
    return found;
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

// A message box's text is its one static control that is not its icon.
std::string Dialog::message() const
{
    for (const Control& c : controls)
        if (lstrcmpiA(c.className.c_str(), "Static") == 0 && !c.text.empty())
            return c.text;
    return std::string();
}

// Its icon control is there either way; without an icon it shows none.
bool Dialog::hasIcon() const
{
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        DWORD_PTR icon = 0;
        if (lstrcmpiA(class_of(child).c_str(), "Static") == 0 &&
            (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON &&
            SendMessageTimeoutA(child, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, 5000, &icon) && icon)
            return true;
    }
    return false;
}

std::vector<Template> TemplatesIn(LANGID language)
{
    TemplateList templates{language, {}};
    EnumResourceNamesA(setup_resources(), RT_DIALOG, add_template, reinterpret_cast<LONG_PTR>(&templates));
    return templates.list;
}

const std::vector<Template>& Templates()
{
    static std::vector<Template> templates = TemplatesIn(g_language);
    return templates;
}

void ExpectLanguage(LANGID language)
{
    g_language = language;
}

std::string Text(UINT id, LANGID language, const std::string& argument, const std::string& program)
{
    HMODULE setup = program == "SETUP.EXE" ? setup_resources()
                                           : LoadLibraryExA((ProductFolder() + "\\" + program).c_str(), nullptr,
                                                            LOAD_LIBRARY_AS_DATAFILE);
    HRSRC block = FindResourceExW(setup, MAKEINTRESOURCEW(6), MAKEINTRESOURCEW(id / 16 + 1), language);
    const WCHAR* entry = block ? static_cast<const WCHAR*>(LockResource(LoadResource(setup, block))) : nullptr;
    if (!entry)
        return "";
    for (UINT skip = id % 16; skip > 0; --skip)
        entry += 1 + *entry;
    // Each %s takes the argument; other conversions stay as they are.
    std::wstring text(entry + 1, *entry), wideArgument = machine::Widen(argument, CP_UTF8);
    for (size_t at = text.find(L"%s"); at != std::wstring::npos; at = text.find(L"%s", at + wideArgument.size()))
        text.replace(at, 2, wideArgument);
    return machine::Narrow(text, CP_UTF8);
}

COLORREF Image::at(int x, int y) const
{
    DWORD p = pixels[static_cast<size_t>(y) * width + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

bool CaptureScreen(Image& image)
{
    image.width = GetSystemMetrics(SM_CXSCREEN);
    image.height = GetSystemMetrics(SM_CYSCREEN);
    image.pixels.assign(static_cast<size_t>(image.width) * image.height, 0);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {{sizeof info.bmiHeader, image.width, -image.height, 1, 32}};
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
    for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &entry)) {
        std::string name = entry.cFileName, child = path + "\\" + name;
        if (name == "." || name == "..")
            continue;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
            machine::RemoveLink(child);  // not what it leads to
        else if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            RemoveTree(child);
        else if (SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL))
            DeleteFileA(child.c_str());
    }
    FindClose(search);
    // A drive's root only empties: under Wine the folder that holds the
    // drive would go, and the drive with it for the rest of the session.
    bool root = path.size() <= 3 && path.size() >= 2 && path[1] == ':';
    if (!root)
        RemoveDirectoryA(path.c_str());
}

DWORD ProcessWithWindow(const char* windowClass, DWORD timeoutMs)
{
    for (DWORD start = GetTickCount(); GetTickCount() - start < timeoutMs; Sleep(POLL_MS)) {
        std::vector<HWND> found = windows_of_class(windowClass, 0);
        DWORD pid = 0;
        if (!found.empty() && GetWindowThreadProcessId(found[0], &pid))
            return pid;
    }
    return 0;
}

void CloseShellWindows()
{
    for (const char* name : SHELL_FOLDER_CLASSES)
        for (HWND window : windows_of_class(name, 0))
            PostMessageA(window, WM_CLOSE, 0, 0);
}

std::string ProductFolder()
{
    return machine::WindowsPath(CORVANE_PRODUCT_DIR);
}

std::string SetupPath()
{
    return ProductFolder() + "\\SETUP.EXE";
}

// A new desktop for every run, so that none starts on one that Wine is
// closing after the last run on it ended. Their handles, and the window
// station's, stay open for the test's life.
std::string ServiceDesktop()
{
    static HWINSTA station = CreateWindowStationA("CorvaneService", 0, WINSTA_ALL_ACCESS, nullptr);
    static int made = 0;
    const std::string name = "Run" + std::to_string(++made);
    HWINSTA own = GetProcessWindowStation();
    bool desktop = station && SetProcessWindowStation(station) &&
                   CreateDesktopA(name.c_str(), nullptr, nullptr, 0, GENERIC_ALL, nullptr);
    SetProcessWindowStation(own);
    return desktop ? "CorvaneService\\" + name : "";
}

// The templates are made before the program starts: made when its first
// dialog is read, they can take longer than a two-second notice stays up
// where the robot itself runs slowly (its 32-bit loader emulated).
Session::Session(const std::string& commandTail, const std::string& program, const std::string& desktop)
{
    Templates();
    EnumWindows(collect, reinterpret_cast<LPARAM>(&before_));
    std::wstring line = machine::Widen(program.empty() ? commandTail
                                                       : "\"" + program + "\"" + (commandTail.empty() ? "" : " " + commandTail),
                                       CP_UTF8);
    std::wstring desktopName = machine::Widen(desktop), programName = machine::Widen(program, CP_UTF8);
    STARTUPINFOW startup = {sizeof startup};
    startup.lpDesktop = desktop.empty() ? nullptr : &desktopName[0];
    PROCESS_INFORMATION info = {};
    if (CreateProcessW(program.empty() ? nullptr : programName.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr,
                       nullptr, &startup, &info)) {
        process_ = info.hProcess;
        processId_ = info.dwProcessId;
        CloseHandle(info.hThread);
    } else {
        fprintf(stderr, "%ls cannot be started (error %lu)\n", line.c_str(), GetLastError());
    }
}

Session::Session(DWORD processId, bool owned)
    : process_(owned ? OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, processId)
                     : nullptr),
      processId_(processId)
{
}

// A run that is still going is ended, so no test leaks it.
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
    for (DWORD start = GetTickCount(); GetTickCount() - start < timeoutMs; Sleep(POLL_MS)) {
        std::vector<HWND> found = windows_of_class("#32770", processId_);
        // Windows come top first; the one lowest down appeared first.
        for (auto window = found.rbegin(); window != found.rend(); ++window) {
            if (std::find(seen_.begin(), seen_.end(), *window) != seen_.end())
                continue;
            seen_.push_back(*window);
            Dialog dialog = read_dialog(*window);
            // One that ended while it was being read went by unseen, as it
            // would for a person.
            if (IsWindow(*window) && IsWindowVisible(*window))
                return dialog;
        }
    }
    return Dialog();
}

// A click goes through the dialog's own message loop, as a person's does:
// the notice the button sends its dialog. Not BM_CLICK, which a button of a
// dialog that is not the active window may drop (a shell window that opens
// late takes the activation).
bool Session::press(const Dialog& dialog, int id)
{
    HWND button = GetDlgItem(dialog.window, id);
    if (!button || !IsWindowVisible(button) || !IsWindowEnabled(button))
        return false;
    PostMessageA(dialog.window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
    return true;
}

// Keys go to the window with the focus, as typed keys do.
// To the control that has the focus, as a keyboard sends it; where the
// focus is not in the dialog yet (a message box over it just gone), to the
// dialog, whose loop takes it the same way.
void Session::key(const Dialog& dialog, WORD virtualKey)
{
    GUITHREADINFO gui = {sizeof gui};
    HWND focus = GetGUIThreadInfo(GetWindowThreadProcessId(dialog.window, nullptr), &gui) ? gui.hwndFocus : nullptr;
    HWND target = focus && IsChild(dialog.window, focus) ? focus : dialog.window;
    LPARAM scan = MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC) << 16;
    PostMessageA(target, WM_KEYDOWN, virtualKey, 1 | scan);
    PostMessageA(target, WM_KEYUP, virtualKey, 1 | scan | 0xC0000000);
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

// Selects all and types over it, then waits until a person would see the
// text arrive.
void Session::type(const Dialog& dialog, int id, const std::string& text)
{
    HWND edit = GetDlgItem(dialog.window, id);
    PostMessageA(edit, EM_SETSEL, 0, -1);
    PostMessageA(edit, WM_CHAR, VK_BACK, 1);  // clears the selection, also for an empty text
    for (wchar_t c : machine::Widen(text, CP_UTF8))
        PostMessageW(edit, WM_CHAR, c, 1);
    for (DWORD start = GetTickCount(); text_of(edit) != text && GetTickCount() - start < 5000;)
        Sleep(POLL_MS);
}

bool Session::gone(const Dialog& dialog, DWORD timeoutMs) const
{
    for (DWORD start = GetTickCount(); IsWindow(dialog.window) && IsWindowVisible(dialog.window); Sleep(POLL_MS))
        if (GetTickCount() - start >= timeoutMs)
            return false;
    return true;
}

DWORD Session::exitCode(DWORD timeoutMs)
{
    DWORD code = STILL_ACTIVE;
    if (process_ && WaitForSingleObject(process_, timeoutMs) == WAIT_OBJECT_0)
        GetExitCodeProcess(process_, &code);
    return code;
}

// Any window that was not there when the run started counts, whichever
// process shows it (a program the run starts, say), but for the folder
// windows the desktop shell opens for a new program group. It looks every
// few milliseconds, so a window that stays up for less than that could go
// by; any of the program's windows stays up far longer.
DWORD Session::exitCodeUnseen(std::string& windowSeen, DWORD timeoutMs)
{
    windowSeen.clear();
    for (DWORD start = GetTickCount(); process_ && GetTickCount() - start < timeoutMs;) {
        std::vector<HWND> all;
        EnumWindows(collect, reinterpret_cast<LPARAM>(&all));
        for (HWND window : all) {
            std::string name = class_of(window);
            if (IsWindowVisible(window) && std::find(before_.begin(), before_.end(), window) == before_.end() &&
                !is_shell_folder(name) && windowSeen.empty())
                windowSeen = name + " \"" + text_of(window) + "\"";
        }
        if (WaitForSingleObject(process_, 5) == WAIT_OBJECT_0)
            break;
    }
    return exitCode(0);
}

}  // namespace robot
