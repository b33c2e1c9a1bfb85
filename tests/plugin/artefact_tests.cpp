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

// One resource of the built plug-in, read as data without running any of its code.
std::vector<std::uint8_t> pluginResource(LPCSTR type, int id) {
  HMODULE module = LoadLibraryExA(plugin_test::pluginPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  HRSRC resource = module != nullptr ? FindResourceA(module, MAKEINTRESOURCEA(id), type) : nullptr;
  std::vector<std::uint8_t> bytes;
  if (resource != nullptr) {
    const auto* data = static_cast<const std::uint8_t*>(LockResource(LoadResource(module, resource)));
    bytes.assign(data, data + SizeofResource(module, resource));
  }
  if (module != nullptr) FreeLibrary(module);
  return bytes;
}

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

TEST(Artefact, PropertyListIsByteForByteTheTable) { EXPECT_EQ(pluginResource("PiPL", 16000), kExpectedPipl); }

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

TEST(Artefact, DialogTemplateIsTheTable) {
  const std::vector<std::uint8_t> bytes = pluginResource(MAKEINTRESOURCEA(5), 206);  // RT_DIALOG
  ASSERT_FALSE(bytes.empty());
  TemplateReader t(bytes.data());
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

  ASSERT_EQ(count, plugin_test::kDialogControls.size());
  for (const plugin_test::DialogControl& row : plugin_test::kDialogControls) {
    t.alignToDword();
    const DWORD style = t.dword();
    t.dword();  // extended style
    const short cx0 = t.number(), cy0 = t.number(), cx1 = t.number(), cy1 = t.number();
    const int id = t.word();
    std::wstring className = t.text();
    std::transform(className.begin(), className.end(), className.begin(), ::towupper);
    EXPECT_EQ(std::tuple(id, className, cx0, cy0, cx1, cy1, style),
              std::tuple(row.id, row.className, row.x, row.y, row.cx, row.cy, row.style));
    EXPECT_EQ(t.text(), plugin_test::fromCp932(row.japanese)) << row.id;
    EXPECT_EQ(t.word(), 0) << row.id;  // no creation data
  }
}

TEST(Artefact, BannerIsA32BitPictureOf730By130) {
  const std::vector<std::uint8_t> bytes = pluginResource(MAKEINTRESOURCEA(2), 203);  // RT_BITMAP
  ASSERT_GE(bytes.size(), sizeof(BITMAPINFOHEADER) + 730 * 130 * 4);
  const auto* info = reinterpret_cast<const BITMAPINFOHEADER*>(bytes.data());
  EXPECT_EQ(std::tuple(info->biWidth, std::abs(info->biHeight), info->biBitCount, info->biCompression),
            std::tuple(730L, 130L, WORD{32}, DWORD{BI_RGB}));
  // The accent bar of the picture, orange, at (453, 60) of the top-down picture.
  const LONG row = info->biHeight > 0 ? 129 - 60 : 60;
  const std::uint8_t* bgra = bytes.data() + info->biSize + (row * 730 + 453) * 4;
  EXPECT_EQ(std::tuple(bgra[2], bgra[1], bgra[0]), std::tuple(242, 140, 38));
}

}  // namespace
