// The built dist/tessaline.aex as a host finds it on disk: one export, Windows system imports only,
// and the property list byte for byte.

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <cwctype>
#include <tuple>
#include <set>
#include <string>
#include <vector>

#include "fxhost/plugin_module.h"
#include "plugin_test_support.h"

namespace {

// The image mapped without running any of its code; exports and imports are read by address.
class MappedImage {
 public:
  explicit MappedImage(const std::string& path)
      : module_(LoadLibraryExA(path.c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES)) {}
  ~MappedImage() {
    if (module_ != nullptr) FreeLibrary(module_);
  }
  bool loaded() const { return module_ != nullptr; }

  template <class T>
  const T* at(DWORD rva) const {
    return reinterpret_cast<const T*>(reinterpret_cast<const BYTE*>(module_) + rva);
  }
  const IMAGE_DATA_DIRECTORY& directory(int entry) const {
    const auto* dos = at<IMAGE_DOS_HEADER>(0);
    return at<IMAGE_NT_HEADERS64>(static_cast<DWORD>(dos->e_lfanew))->OptionalHeader.DataDirectory[entry];
  }
  WORD machine() const {
    return at<IMAGE_NT_HEADERS64>(static_cast<DWORD>(at<IMAGE_DOS_HEADER>(0)->e_lfanew))->FileHeader.Machine;
  }

  std::vector<std::string> exports() const {
    std::vector<std::string> names;
    const IMAGE_DATA_DIRECTORY& dir = directory(IMAGE_DIRECTORY_ENTRY_EXPORT);
    if (dir.Size == 0) return names;
    const auto* table = at<IMAGE_EXPORT_DIRECTORY>(dir.VirtualAddress);
    const auto* nameRvas = at<DWORD>(table->AddressOfNames);
    for (DWORD i = 0; i < table->NumberOfNames; ++i) names.emplace_back(at<char>(nameRvas[i]));
    // Every function is named: nothing leaves by ordinal alone.
    if (table->NumberOfFunctions != table->NumberOfNames) names.emplace_back("(unnamed exports)");
    return names;
  }

  std::set<std::string> imports() const {
    std::set<std::string> dlls;
    const IMAGE_DATA_DIRECTORY& dir = directory(IMAGE_DIRECTORY_ENTRY_IMPORT);
    for (const auto* d = at<IMAGE_IMPORT_DESCRIPTOR>(dir.VirtualAddress); dir.Size != 0 && d->Name != 0; ++d) {
      std::string name = at<char>(d->Name);
      std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
      dlls.insert(name);
    }
    if (directory(IMAGE_DIRECTORY_ENTRY_DELAY_IMPORT).Size != 0) dlls.insert("(delay-loaded imports)");
    return dlls;
  }

 private:
  HMODULE module_;
};

TEST(Artefact, ExportsOnlyTheEntryPointAndImportsOnlyWindows) {
  const MappedImage image(plugin_test::pluginPath());
  ASSERT_TRUE(image.loaded()) << plugin_test::pluginPath();
  EXPECT_EQ(image.machine(), IMAGE_FILE_MACHINE_AMD64);
  EXPECT_EQ(image.exports(), std::vector<std::string>{"EntryPointFunc"});
  const std::set<std::string> allowed = {"kernel32.dll", "user32.dll",  "gdi32.dll",    "comctl32.dll",
                                         "shell32.dll",  "shlwapi.dll", "advapi32.dll", "msvcrt.dll"};
  for (const std::string& dll : image.imports()) EXPECT_TRUE(allowed.contains(dll)) << "imports " << dll;
}

// The property list as the host reads it, written out by hand from the table of properties.
const std::vector<std::uint8_t> kExpectedPipl = {
    0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x0C, 0x00, 0x00, 0x00,  // 1, 0, 12 properties
    // kind: 'eFKT'
    'M', 'I', 'B', '8', 'd', 'n', 'i', 'k', 0, 0, 0, 0, 4, 0, 0, 0, 'T', 'K', 'F', 'e',
    // name: Pascal "tessaline", padded to 12
    'M', 'I', 'B', '8', 'e', 'm', 'a', 'n', 0, 0, 0, 0, 10, 0, 0, 0,
    9, 't', 'e', 's', 's', 'a', 'l', 'i', 'n', 'e', 0, 0,
    // catg: Pascal "NORVA", padded to 8
    'M', 'I', 'B', '8', 'g', 't', 'a', 'c', 0, 0, 0, 0, 6, 0, 0, 0, 5, 'N', 'O', 'R', 'V', 'A', 0, 0,
    // 8664: "EntryPointFunc" with its terminator, padded to 16
    'M', 'I', 'B', '8', '4', '6', '6', '8', 0, 0, 0, 0, 15, 0, 0, 0,
    'E', 'n', 't', 'r', 'y', 'P', 'o', 'i', 'n', 't', 'F', 'u', 'n', 'c', 0, 0,
    // ePVR: 2
    'M', 'I', 'B', '8', 'R', 'V', 'P', 'e', 0, 0, 0, 0, 4, 0, 0, 0, 2, 0, 0, 0,
    // eSVR: 13, 27
    'M', 'I', 'B', '8', 'R', 'V', 'S', 'e', 0, 0, 0, 0, 4, 0, 0, 0, 13, 0, 27, 0,
    // eVER: 0x88E07
    'M', 'I', 'B', '8', 'R', 'E', 'V', 'e', 0, 0, 0, 0, 4, 0, 0, 0, 0x07, 0x8E, 0x08, 0x00,
    // eINF: 0 in two bytes, padded
    'M', 'I', 'B', '8', 'F', 'N', 'I', 'e', 0, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0,
    // eGLO: 0x06000030
    'M', 'I', 'B', '8', 'O', 'L', 'G', 'e', 0, 0, 0, 0, 4, 0, 0, 0, 0x30, 0x00, 0x00, 0x06,
    // eGL2: 0x08801419
    'M', 'I', 'B', '8', '2', 'L', 'G', 'e', 0, 0, 0, 0, 4, 0, 0, 0, 0x19, 0x14, 0x80, 0x08,
    // eMNA: Pascal "NORVA TESSALINE"
    'M', 'I', 'B', '8', 'A', 'N', 'M', 'e', 0, 0, 0, 0, 16, 0, 0, 0,
    15, 'N', 'O', 'R', 'V', 'A', ' ', 'T', 'E', 'S', 'S', 'A', 'L', 'I', 'N', 'E',
    // aeFL: 0
    'M', 'I', 'B', '8', 'L', 'F', 'e', 'a', 0, 0, 0, 0, 4, 0, 0, 0, 0, 0, 0, 0,
};

TEST(Artefact, PropertyListIsByteForByteTheTable) {
  HMODULE module = LoadLibraryExA(plugin_test::pluginPath().c_str(), nullptr,
                                  LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  ASSERT_NE(module, nullptr);
  HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(16000), "PiPL");
  ASSERT_NE(resource, nullptr);
  const auto* bytes = static_cast<const std::uint8_t*>(LockResource(LoadResource(module, resource)));
  const std::vector<std::uint8_t> pipl(bytes, bytes + SizeofResource(module, resource));
  FreeLibrary(module);
  EXPECT_EQ(pipl, kExpectedPipl);
}

}  // namespace

namespace {

// ---- The options dialog's template and banner --------------------------------------------------

// Reads a classic dialog template: words, with strings and class names as UTF-16 or an atom.
class TemplateReader {
 public:
  explicit TemplateReader(const BYTE* bytes) : at_(bytes), start_(bytes) {}
  DWORD dword() {
    DWORD v;
    std::memcpy(&v, at_, 4);
    at_ += 4;
    return v;
  }
  WORD word() {
    WORD v;
    std::memcpy(&v, at_, 2);
    at_ += 2;
    return v;
  }
  short number() { return static_cast<short>(word()); }
  // A string, or "#N" for an ordinal.
  std::wstring text() {
    if (word() == 0xFFFF) return L"#" + std::to_wstring(word());
    at_ -= 2;
    std::wstring s;
    for (WORD c; (c = word()) != 0;) s += static_cast<wchar_t>(c);
    return s;
  }
  void alignToDword() { at_ = start_ + ((at_ - start_ + 3) & ~3); }

 private:
  const BYTE* at_;
  const BYTE* start_;
};

struct ControlRow {
  int id;
  std::wstring className;  // an atom as "#N"
  short x, y, cx, cy;
  DWORD style;
  const char* text;  // code page 932
};

std::wstring fromCp932(const char* text) {
  wchar_t out[256] = L"";
  MultiByteToWideChar(932, 0, text, -1, out, 256);
  return out;
}

TEST(Artefact, DialogTemplateIsTheTable) {
  HMODULE module = LoadLibraryExA(plugin_test::pluginPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(module, nullptr);
  HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(206), MAKEINTRESOURCEA(5));  // RT_DIALOG
  ASSERT_NE(resource, nullptr);
  TemplateReader t(static_cast<const BYTE*>(LockResource(LoadResource(module, resource))));
  EXPECT_EQ(t.dword(), static_cast<DWORD>(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT));
  EXPECT_EQ(t.dword(), 0u);  // extended style
  const WORD count = t.word();
  const short x = t.number(), y = t.number(), cx = t.number(), cy = t.number();
  EXPECT_EQ(std::tuple(x, y, cx, cy), std::tuple(22, 17, 235, 170));
  EXPECT_EQ(t.text(), L"");  // no menu
  EXPECT_EQ(t.text(), L"");  // the standard dialog class
  EXPECT_EQ(t.text(), L"Option");
  EXPECT_EQ(t.word(), 9);
  EXPECT_EQ(t.text(), L"MS UI Gothic");

  const DWORD child = WS_CHILD | WS_VISIBLE;
  const ControlRow rows[] = {
      {1, L"#128", 180, 144, 36, 18, child | BS_DEFPUSHBUTTON | WS_GROUP | WS_TABSTOP, "OK"},
      {2000, L"#128", 6, 6, 222, 76, child | BS_GROUPBOX,
       "\x90\xdd\x92\xe8\x20\x81\x69\x8e\x9f\x89\xf1\x8b\x4e\x93\xae\x82\xa9\x82\xe7\x97\x4c\x8c\xf8\x82\xc9\x82\xc8"
       "\x82\xe8\x82\xdc\x82\xb7\x81\x6a"},
      {2001, L"#128", 36, 30, 162, 15, child | BS_PUSHBUTTON | WS_TABSTOP,
       "\x8c\xbb\x8d\xdd\x82\xcc\x83\x70\x83\x89\x83\x81\x81\x5b\x83\x5e\x90\xdd\x92\xe8\x82\xf0\x83\x66\x83\x74\x83"
       "\x48\x83\x8b\x83\x67\x92\x6c\x82\xc6\x82\xb5\x82\xc4\x8b\x4c\x89\xaf\x82\xb7\x82\xe9"},
      {2002, L"#128", 36, 50, 162, 15, child | BS_PUSHBUTTON | WS_TABSTOP,
       "\x83\x70\x83\x89\x83\x81\x81\x5b\x83\x5e\x82\xcc\x83\x66\x83\x74\x83\x48\x83\x8b\x83\x67\x92\x6c\x90\xdd\x92"
       "\xe8\x82\xf0\x8f\x89\x8a\xfa\x8f\xf3\x91\xd4\x82\xc9\x95\x9c\x8b\x41\x82\xb7\x82\xe9"},
      {2059, L"STATIC", 13, 90, 209, 43, child | SS_OWNERDRAW | SS_CENTERIMAGE, ""},
      {2060, L"SYSLINK", 11, 147, 142, 15, child | WS_TABSTOP,
       "<a>\x83\x49\x83\x93\x83\x89\x83\x43\x83\x93\x83\x7d\x83\x6a\x83\x85\x83\x41\x83\x8b</a>"},
  };
  ASSERT_EQ(count, std::size(rows));
  for (const ControlRow& row : rows) {
    t.alignToDword();
    const DWORD style = t.dword();
    t.dword();  // extended style
    const short cx0 = t.number(), cy0 = t.number(), cx1 = t.number(), cy1 = t.number();
    const int id = t.word();
    std::wstring className = t.text();
    std::transform(className.begin(), className.end(), className.begin(), ::towupper);
    EXPECT_EQ(std::tuple(id, className, cx0, cy0, cx1, cy1, style),
              std::tuple(row.id, row.className, row.x, row.y, row.cx, row.cy, row.style));
    EXPECT_EQ(t.text(), fromCp932(row.text)) << row.id;
    EXPECT_EQ(t.word(), 0) << row.id;  // no creation data
  }
  FreeLibrary(module);
}

TEST(Artefact, BannerIsA32BitPictureOf730By130) {
  HMODULE module = LoadLibraryExA(plugin_test::pluginPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(module, nullptr);
  HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(203), MAKEINTRESOURCEA(2));  // RT_BITMAP
  ASSERT_NE(resource, nullptr);
  const auto* info = static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(module, resource)));
  EXPECT_EQ(std::tuple(info->biWidth, std::abs(info->biHeight), info->biBitCount, info->biCompression),
            std::tuple(730L, 130L, WORD{32}, DWORD{BI_RGB}));
  // The accent bar of the picture, orange, at (453, 60) of the top-down picture.
  const auto* pixels = reinterpret_cast<const BYTE*>(info) + info->biSize;
  const LONG row = info->biHeight > 0 ? 129 - 60 : 60;
  const BYTE* bgra = pixels + (row * 730 + 453) * 4;
  EXPECT_EQ(std::tuple(bgra[2], bgra[1], bgra[0]), std::tuple(242, 140, 38));
  FreeLibrary(module);
}

}  // namespace
