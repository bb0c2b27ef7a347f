// The setup in every language it speaks, read from the built files: each
// language has every dialog of the English ones, made the same way, with
// every text fitting its control at 96 and 144 dots per inch, and every
// text of the string tables, with the same arguments.
#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <utility>
#include <string>
#include <vector>

#include "machine.h"
#include "robot.h"
#include "sha256.h"

namespace {

using machine::Narrow;

const LANGID ENGLISH = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
const LANGID LANGUAGES[] = {
    ENGLISH,
    MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN),
    MAKELANGID(LANG_FRENCH, SUBLANG_FRENCH),
    MAKELANGID(LANG_SPANISH, SUBLANG_SPANISH_MODERN),
    MAKELANGID(LANG_POLISH, SUBLANG_DEFAULT),
    MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT),
};

// The character set a dialog's font takes on a system of the language:
// its ANSI code page's, as the dialog manager asks for the default one.
BYTE charset_of(LANGID language)
{
    switch (PRIMARYLANGID(language)) {
    case LANG_POLISH:
        return EASTEUROPE_CHARSET;
    case LANG_JAPANESE:
        return SHIFTJIS_CHARSET;
    default:
        return ANSI_CHARSET;
    }
}

// A dialog template (the classic kind) as its bytes say.
struct Item {
    DWORD style;
    RECT rect;  // left, top, right, bottom in dialog units
    int id;
    std::wstring kind;  // "BUTTON", "STATIC", ... in capitals
    std::wstring text;  // an icon's is "#" and its number
};
struct Layout {
    DWORD style;
    int width, height;
    std::wstring caption, face;
    int points;
    std::vector<Item> items;
};

// A name, an ordinal (FFFF and a number: "#n") or nothing (0).
std::wstring read_field(const WORD*& p)
{
    if (*p == 0xFFFF) {
        WORD ordinal = p[1];
        p += 2;
        return L"#" + std::to_wstring(ordinal);
    }
    std::wstring text(reinterpret_cast<const wchar_t*>(p));
    p += text.size() + 1;
    return text;
}

// A control's class, by its name or the ordinal of a predefined one.
std::wstring class_name(std::wstring name)
{
    static const wchar_t* const CLASSES[] = {L"BUTTON", L"EDIT", L"STATIC", L"LISTBOX", L"SCROLLBAR", L"COMBOBOX"};
    if (name[0] == L'#')
        return CLASSES[std::stoi(name.substr(1)) - 0x80];
    CharUpperW(&name[0]);
    return name;
}

Layout read_layout(const BYTE* bytes)
{
    const DLGTEMPLATE* head = reinterpret_cast<const DLGTEMPLATE*>(bytes);
    Layout layout{head->style, head->cx, head->cy, L"", L"", 0, {}};
    const WORD* p = reinterpret_cast<const WORD*>(head + 1);
    read_field(p);  // menu
    read_field(p);  // class
    layout.caption = read_field(p);
    if (head->style & DS_SETFONT) {
        layout.points = *p++;
        layout.face = read_field(p);
    }
    for (int i = 0; i < head->cdit; ++i) {
        p = reinterpret_cast<const WORD*>((reinterpret_cast<ULONG_PTR>(p) + 3) & ~ULONG_PTR(3));
        const DLGITEMTEMPLATE* item = reinterpret_cast<const DLGITEMTEMPLATE*>(p);
        Item read{item->style, {item->x, item->y, item->x + item->cx, item->y + item->cy}, static_cast<short>(item->id)};
        p = reinterpret_cast<const WORD*>(item + 1);
        read.kind = class_name(read_field(p));
        read.text = read_field(p);
        p = reinterpret_cast<const WORD*>(reinterpret_cast<const BYTE*>(p + 1) + *p);
        layout.items.push_back(read);
    }
    return layout;
}

HMODULE built(const char* name)
{
    static std::map<std::string, HMODULE> opened;
    HMODULE& module = opened[name];
    if (!module)
        module = LoadLibraryExA((robot::ProductFolder() + "\\" + name).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    return module;
}

BOOL CALLBACK add_name(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR list)
{
    reinterpret_cast<std::vector<std::wstring>*>(list)->push_back(
        IS_INTRESOURCE(name) ? L"#" + std::to_wstring(reinterpret_cast<ULONG_PTR>(name)) : name);
    return TRUE;
}

// The names of SETUP.EXE's templates; "#n" for a numbered one.
std::vector<std::wstring> template_names()
{
    std::vector<std::wstring> names;
    EnumResourceNamesW(built("SETUP.EXE"), MAKEINTRESOURCEW(5), add_name, reinterpret_cast<LONG_PTR>(&names));
    return names;
}

const BYTE* resource(HMODULE module, LPCWSTR type, LPCWSTR name, LANGID language)
{
    HRSRC found = FindResourceExW(module, type, name, language);
    return found ? static_cast<const BYTE*>(LockResource(LoadResource(module, found))) : nullptr;
}

LPCWSTR key(const std::wstring& name)
{
    return name[0] == L'#' ? MAKEINTRESOURCEW(std::stoi(name.substr(1))) : name.c_str();
}

std::string tag(LANGID language, const std::wstring& name)
{
    char hex[8];
    wsprintfA(hex, "%04x ", language);
    return hex + Narrow(name, CP_UTF8);
}

// A text's access keys, the characters after single ampersands.
std::wstring access_keys(const std::wstring& text)
{
    std::wstring keys;
    for (size_t i = 0; i + 1 < text.size(); ++i)
        if (text[i] == L'&') {
            if (text[i + 1] != L'&')
                keys += static_cast<wchar_t>(reinterpret_cast<ULONG_PTR>(CharUpperW(
                    reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(text[i + 1])))));
            ++i;
        }
    return keys;
}

// Each language has every template, made as the English one is: the same
// window style and the same controls in the same order, with the same ids,
// classes and styles (so the same default button, and Enter and Escape do
// the same), the same icons, and texts where English has texts; and no
// access key twice in one dialog.
TEST(Languages, EveryLanguageHasEveryDialogMadeAsTheEnglishOne)
{
    const std::vector<std::wstring> names = template_names();
    ASSERT_EQ(18u, names.size());
    for (LANGID language : LANGUAGES)
        for (const std::wstring& name : names) {
            SCOPED_TRACE(tag(language, name));
            const BYTE* english = resource(built("SETUP.EXE"), MAKEINTRESOURCEW(5), key(name), ENGLISH);
            const BYTE* translated = resource(built("SETUP.EXE"), MAKEINTRESOURCEW(5), key(name), language);
            ASSERT_TRUE(english && translated);
            Layout a = read_layout(english), b = read_layout(translated);
            EXPECT_EQ(a.style, b.style);
            EXPECT_EQ(a.caption.empty(), b.caption.empty());
            ASSERT_EQ(a.items.size(), b.items.size());
            std::wstring keys = access_keys(b.caption);
            for (size_t i = 0; i < a.items.size(); ++i) {
                const Item &x = a.items[i], &y = b.items[i];
                EXPECT_TRUE(x.id == y.id && x.kind == y.kind && x.style == y.style) << "control " << i;
                EXPECT_EQ(x.text.empty(), y.text.empty()) << "control " << i;
                if (x.text[0] == L'#') {  // an icon
                    EXPECT_EQ(Narrow(x.text), Narrow(y.text)) << "control " << i;
                }
                EXPECT_TRUE(y.rect.right <= b.width && y.rect.bottom <= b.height) << "control " << i << " outside";
                keys += access_keys(y.text);
            }
            for (size_t i = 0; i < keys.size(); ++i)
                EXPECT_EQ(keys.find(keys[i]), i) << "access key " << Narrow(keys.substr(i, 1), CP_UTF8) << " twice";
        }
}

// The English templates are the reference: their bytes stay as they are.
TEST(Languages, TheEnglishTemplatesAreUnchanged)
{
    Sha256 all;
    for (const std::wstring& name : template_names()) {
        HRSRC found = FindResourceExW(built("SETUP.EXE"), MAKEINTRESOURCEW(5), key(name), ENGLISH);
        ASSERT_TRUE(found) << Narrow(name);
        const BYTE* bytes = resource(built("SETUP.EXE"), MAKEINTRESOURCEW(5), key(name), ENGLISH);
        all.add(bytes, SizeofResource(built("SETUP.EXE"), found));
    }
    char digest[65];
    all.finish(digest);
    EXPECT_STREQ("f22ed280a831109efd31228c1b8ba5695bd0f2005a597f6c0548d19a9804fa86", digest);
}

// A dialog's font at a resolution, and its dialog units in pixels, as the
// dialog manager reckons them from the font.
struct Measure {
    HDC dc;
    HFONT font;
    int baseX, baseY;

    Measure(const Layout& layout, int dpi, BYTE charset)
        : dc(CreateCompatibleDC(nullptr)),
          font(CreateFontW(-MulDiv(layout.points, dpi, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, charset, 0, 0, 0,
                           0, layout.face.c_str()))
    {
        SelectObject(dc, font);
        TEXTMETRICW metrics;
        GetTextMetricsW(dc, &metrics);
        SIZE letters;
        GetTextExtentPoint32W(dc, L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 52, &letters);
        baseX = (letters.cx / 26 + 1) / 2;
        baseY = metrics.tmHeight;
    }
    ~Measure()
    {
        DeleteDC(dc);
        DeleteObject(font);
    }
    SIZE pixels(const RECT& units) const
    {
        return {MulDiv(units.right - units.left, baseX, 4), MulDiv(units.bottom - units.top, baseY, 8)};
    }
    // The room a text takes, wrapped at `width` pixels or on one line.
    SIZE text(const std::wstring& text, int width, UINT flags) const
    {
        RECT room = {0, 0, width, 0};
        DrawTextW(dc, text.c_str(), -1, &room, DT_CALCRECT | DT_EXPANDTABS | flags);
        return {room.right, room.bottom};
    }
};

// The English templates stay as they are, and one of their texts is two
// pixels short of its second line's descenders: NOTICE1's last line (by
// its top), 15 dialog units high.
const std::pair<std::wstring, LONG> ENGLISH_SHORT = {L"NOTICE1", 64};

// Every text fits its control with the dialog's own font, as a system of
// the language draws it: a static text,
// wrapped as the control wraps it, within its rectangle, no word wider; a
// button's on one line, with room on both sides; a caption in the title
// bar beside its close box.
TEST(Languages, EveryTextFitsItsControlAt96And144DotsPerInch)
{
    NONCLIENTMETRICSW metrics = {sizeof metrics};
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    for (int dpi : {96, 144})
        for (LANGID language : LANGUAGES)
            for (const std::wstring& name : template_names()) {
                SCOPED_TRACE(tag(language, name) + " at " + std::to_string(dpi));
                const BYTE* bytes = resource(built("SETUP.EXE"), MAKEINTRESOURCEW(5), key(name), language);
                if (!bytes)
                    continue;  // (a template missing is told above)
                Layout layout = read_layout(bytes);
                Measure measure(layout, dpi, charset_of(language));
                const int spare = MulDiv(4, dpi, 96);
                for (const Item& item : layout.items) {
                    if (language == ENGLISH && name == ENGLISH_SHORT.first && item.id == -1 &&
                        item.rect.top == ENGLISH_SHORT.second)
                        continue;
                    if (item.text.empty() || item.text[0] == L'#' || item.kind == L"EDIT" || item.kind == L"LISTBOX")
                        continue;
                    SIZE room = measure.pixels(item.rect), need;
                    DWORD type = item.style & (item.kind == L"STATIC" ? SS_TYPEMASK : BS_TYPEMASK);
                    if (item.kind == L"STATIC" && type <= SS_RIGHT) {
                        need = measure.text(item.text, room.cx, DT_WORDBREAK);
                    } else if (item.kind == L"BUTTON" && (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON)) {
                        need = measure.text(item.text, 0, DT_SINGLELINE);
                        need.cx += 2 * spare;
                    } else {
                        continue;
                    }
                    EXPECT_TRUE(need.cx <= room.cx && need.cy <= room.cy)
                        << '"' << Narrow(item.text, CP_UTF8) << "\" needs " << need.cx << "x" << need.cy << ", has "
                        << room.cx << "x" << room.cy;
                }
                if (!layout.caption.empty()) {
                    LOGFONTW captionFont = metrics.lfCaptionFont;
                    captionFont.lfHeight = MulDiv(captionFont.lfHeight, dpi, 96);
                    HFONT font = CreateFontIndirectW(&captionFont);
                    HGDIOBJ before = SelectObject(measure.dc, font);
                    SIZE need = measure.text(layout.caption, 0, DT_SINGLELINE);
                    SelectObject(measure.dc, before);
                    DeleteObject(font);
                    int room = measure.pixels({0, 0, layout.width, 0}).cx - MulDiv(2 * metrics.iCaptionWidth, dpi, 96);
                    EXPECT_LE(need.cx, room) << "caption \"" << Narrow(layout.caption, CP_UTF8) << '"';
                }
            }
}

// The conversions of a format, in order ("%s%d").
std::wstring conversions(const std::wstring& text)
{
    std::wstring found;
    for (size_t i = 0; i < text.size(); ++i)
        if (text[i] == L'%') {
            size_t end = text.find_first_not_of(L"-#0123456789.lh", i + 1);
            if (end == std::wstring::npos)
                break;
            if (text[end] != L'%')
                found += text.substr(i, end + 1 - i);
            i = end;
        }
    return found;
}

// Each program's every English text is there in every language, not
// empty, with the same conversions in the same order, for the same
// arguments; one that English centres between tabs is centred so too.
TEST(Languages, EveryTextIsThereWithTheSameArguments)
{
    for (const char* program : {"SETUP.EXE", "UNINSTAL.EXE"})
        for (LANGID language : LANGUAGES)
            for (UINT block = 1; block <= 16; ++block) {
                const WCHAR* english = reinterpret_cast<const WCHAR*>(
                    resource(built(program), MAKEINTRESOURCEW(6), MAKEINTRESOURCEW(block), ENGLISH));
                if (!english)
                    continue;
                const WCHAR* translated = reinterpret_cast<const WCHAR*>(
                    resource(built(program), MAKEINTRESOURCEW(6), MAKEINTRESOURCEW(block), language));
                if (!translated) {
                    ADD_FAILURE() << program << " " << tag(language, L"block ") << block << " missing";
                    continue;
                }
                for (UINT id = (block - 1) * 16; id < block * 16; ++id) {
                    std::wstring a(english + 1, *english), b(translated + 1, *translated);
                    english += 1 + *english;
                    translated += 1 + *translated;
                    SCOPED_TRACE(std::string(program) + " " + tag(language, L"text ") + std::to_string(id));
                    EXPECT_EQ(a.empty(), b.empty());
                    EXPECT_EQ(Narrow(conversions(a)), Narrow(conversions(b)));
                    EXPECT_EQ(a.compare(0, 2, L"\t\t") == 0, b.compare(0, 2, L"\t\t") == 0);
                }
            }
}

}  // namespace
