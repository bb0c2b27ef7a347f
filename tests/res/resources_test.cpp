// Reads every dialog template, icon and bitmap back out of the built
// SETUP.EXE and compares it with the catalogue, field by field.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "robot.h"
#include "templates.h"

namespace {

const WORD ENGLISH_US = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);  // 1033

class Resources : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        module_ = LoadLibraryExA(robot::SetupPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    }
    static void TearDownTestSuite() { FreeLibrary(module_); }

    static std::vector<BYTE> resource(LPCSTR type, LPCSTR name)
    {
        HRSRC found = FindResourceExA(module_, type, name, ENGLISH_US);
        if (!found)
            return {};
        const BYTE* data = static_cast<const BYTE*>(LockResource(LoadResource(module_, found)));
        return std::vector<BYTE>(data, data + SizeofResource(module_, found));
    }

    static HMODULE module_;
};
HMODULE Resources::module_;

// Walks a classic dialog template.
class Reader {
public:
    explicit Reader(const std::vector<BYTE>& bytes) : bytes_(bytes) {}
    WORD word() { WORD w = 0; memcpy(&w, at(2), 2); pos_ += 2; return w; }
    DWORD dword() { DWORD d = 0; memcpy(&d, at(4), 4); pos_ += 4; return d; }
    short coordinate() { return static_cast<short>(word()); }
    // A string, or "#n" for an ordinal.
    std::string text()
    {
        if (peek() == 0xFFFF) {
            word();
            return "#" + std::to_string(word());
        }
        std::string s;
        for (WORD c = word(); c != 0; c = word())
            s += static_cast<char>(c);  // the texts are plain ASCII
        return s;
    }
    void align() { pos_ = (pos_ + 3) & ~size_t(3); }
    bool overrun() const { return over_; }

private:
    WORD peek() { WORD w = 0; memcpy(&w, at(2), 2); return w; }
    const BYTE* at(size_t n)
    {
        static const BYTE zero[4] = {};
        if (pos_ + n > bytes_.size()) {
            over_ = true;
            return zero;
        }
        return bytes_.data() + pos_;
    }
    const std::vector<BYTE>& bytes_;
    size_t pos_ = 0;
    bool over_ = false;
};

std::string class_name(const std::string& cls)
{
    if (cls == "#128") return "BUTTON";
    if (cls == "#129") return "EDIT";
    if (cls == "#130") return "STATIC";
    if (cls == "#131") return "LISTBOX";
    std::string upper;
    for (char c : cls)
        upper += static_cast<char>(toupper(static_cast<unsigned char>(c)));
    return upper;
}

LPCSTR resource_name(const std::string& name)
{
    return name[0] == '#' ? MAKEINTRESOURCEA(atoi(name.c_str() + 1)) : name.c_str();
}

TEST_F(Resources, EveryTemplateMatchesTheCatalogue)
{
    ASSERT_NE(nullptr, module_) << robot::SetupPath();
    ASSERT_EQ(18u, templates::All().size());
    for (const templates::Template& t : templates::All()) {
        SCOPED_TRACE(t.name);
        std::vector<BYTE> bytes = resource(RT_DIALOG, resource_name(t.name));
        ASSERT_FALSE(bytes.empty()) << "no template in language 1033";
        Reader r(bytes);
        EXPECT_EQ(t.style, r.dword()) << std::hex;
        EXPECT_EQ(0u, r.dword()) << "extended style";
        WORD count = r.word();
        EXPECT_EQ(t.x, r.coordinate());
        EXPECT_EQ(t.y, r.coordinate());
        EXPECT_EQ(t.cx, r.coordinate());
        EXPECT_EQ(t.cy, r.coordinate());
        EXPECT_EQ("", r.text()) << "menu";
        EXPECT_EQ("", r.text()) << "window class";
        EXPECT_EQ(t.title, r.text());
        EXPECT_EQ(t.pointSize, r.word());
        EXPECT_EQ(t.font, r.text());
        ASSERT_EQ(t.controls.size(), count);
        for (const templates::Control& c : t.controls) {
            SCOPED_TRACE(c.text.empty() ? c.className : c.text);
            r.align();
            EXPECT_EQ(c.style, r.dword()) << std::hex;
            EXPECT_EQ(0u, r.dword()) << "extended style";
            EXPECT_EQ(c.x, r.coordinate());
            EXPECT_EQ(c.y, r.coordinate());
            EXPECT_EQ(c.cx, r.coordinate());
            EXPECT_EQ(c.cy, r.coordinate());
            EXPECT_EQ(c.id, static_cast<short>(r.word()));
            EXPECT_EQ(c.className, class_name(r.text()));
            EXPECT_EQ(c.text, r.text());
            EXPECT_EQ(0, r.word()) << "creation data";
        }
        EXPECT_FALSE(r.overrun());
    }
}

BOOL CALLBACK collect_name(HMODULE, LPCSTR, LPSTR name, LONG_PTR param)
{
    auto* names = reinterpret_cast<std::set<std::string>*>(param);
    names->insert(IS_INTRESOURCE(name) ? "#" + std::to_string(reinterpret_cast<UINT_PTR>(name)) : name);
    return TRUE;
}

BOOL CALLBACK collect_language(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR param)
{
    reinterpret_cast<std::set<WORD>*>(param)->insert(language);
    return TRUE;
}

TEST_F(Resources, NothingElseAndOnlyOneLanguage)
{
    std::set<std::string> dialogs, expected;
    EnumResourceNamesA(module_, RT_DIALOG, collect_name, reinterpret_cast<LONG_PTR>(&dialogs));
    for (const templates::Template& t : templates::All())
        expected.insert(t.name);
    EXPECT_EQ(expected, dialogs);

    std::set<std::string> icons, bitmaps;
    EnumResourceNamesA(module_, RT_GROUP_ICON, collect_name, reinterpret_cast<LONG_PTR>(&icons));
    EnumResourceNamesA(module_, RT_BITMAP, collect_name, reinterpret_cast<LONG_PTR>(&bitmaps));
    EXPECT_EQ((std::set<std::string>{"#136", "#137"}), icons);
    EXPECT_EQ((std::set<std::string>{"#104", "#105"}), bitmaps);

    for (const std::string& name : dialogs) {
        std::set<WORD> languages;
        EnumResourceLanguagesA(module_, RT_DIALOG, resource_name(name), collect_language,
                               reinterpret_cast<LONG_PTR>(&languages));
        EXPECT_EQ(std::set<WORD>{ENGLISH_US}, languages) << name;
    }
}

TEST_F(Resources, IconsAreOne32By32ImageOf16Colours)
{
    for (int id : {136, 137}) {
        SCOPED_TRACE(id);
        std::vector<BYTE> group = resource(RT_GROUP_ICON, MAKEINTRESOURCEA(id));
        ASSERT_GE(group.size(), 6u + 14u);
        WORD count;
        memcpy(&count, &group[4], 2);
        EXPECT_EQ(1, count);
        EXPECT_EQ(32, group[6]);   // width
        EXPECT_EQ(32, group[7]);   // height
        EXPECT_EQ(16, group[8]);   // colours
        WORD bits, image;
        memcpy(&bits, &group[6 + 6], 2);
        memcpy(&image, &group[6 + 12], 2);
        EXPECT_EQ(4, bits);

        std::vector<BYTE> icon = resource(RT_ICON, MAKEINTRESOURCEA(image));
        ASSERT_GE(icon.size(), sizeof(BITMAPINFOHEADER));
        BITMAPINFOHEADER header;
        memcpy(&header, icon.data(), sizeof header);
        EXPECT_EQ(32, header.biWidth);
        EXPECT_EQ(64, header.biHeight);  // image and mask
        EXPECT_EQ(4, header.biBitCount);
    }
}

TEST_F(Resources, LogoBitmapsHaveTheirSizeAndForm)
{
    struct Case {
        int id;
        DWORD compression;
    } cases[] = {{104, BI_RLE4}, {105, BI_RGB}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        std::vector<BYTE> bitmap = resource(RT_BITMAP, MAKEINTRESOURCEA(c.id));
        ASSERT_GE(bitmap.size(), sizeof(BITMAPINFOHEADER));
        BITMAPINFOHEADER header;
        memcpy(&header, bitmap.data(), sizeof header);
        EXPECT_EQ(359, header.biWidth);
        EXPECT_EQ(205, header.biHeight);
        EXPECT_EQ(4, header.biBitCount);
        EXPECT_EQ(c.compression, header.biCompression);
    }
}

// The mask is black and white only, and the picture is black wherever the
// mask lets the gradient through, or SRCPAINT would tint the gradient.
TEST_F(Resources, PictureIsBlackWhereTheMaskIsWhite)
{
    HBITMAP picture = LoadBitmapA(module_, MAKEINTRESOURCEA(104));
    HBITMAP mask = LoadBitmapA(module_, MAKEINTRESOURCEA(105));
    ASSERT_TRUE(picture && mask);
    HDC screen = GetDC(nullptr);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = 359;
    info.bmiHeader.biHeight = -205;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    std::vector<DWORD> p(359 * 205), m(359 * 205);
    ASSERT_EQ(205, GetDIBits(screen, picture, 0, 205, p.data(), &info, DIB_RGB_COLORS));
    ASSERT_EQ(205, GetDIBits(screen, mask, 0, 205, m.data(), &info, DIB_RGB_COLORS));
    ReleaseDC(nullptr, screen);
    DeleteObject(picture);
    DeleteObject(mask);

    int grey = 0, tinted = 0;
    for (size_t i = 0; i < p.size(); ++i) {
        DWORD maskPixel = m[i] & 0xFFFFFF;
        grey += maskPixel != 0 && maskPixel != 0xFFFFFF;
        tinted += maskPixel == 0xFFFFFF && (p[i] & 0xFFFFFF) != 0;
    }
    EXPECT_EQ(0, grey);
    EXPECT_EQ(0, tinted);
}

}  // namespace
