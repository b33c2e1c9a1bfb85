// The built dist/tessaline.aex as a host finds it on disk: one export, Windows system imports only,
// the property list and the banner picture.

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
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
  const IMAGE_NT_HEADERS64& headers() const {
    return *at<IMAGE_NT_HEADERS64>(static_cast<DWORD>(at<IMAGE_DOS_HEADER>(0)->e_lfanew));
  }
  const IMAGE_DATA_DIRECTORY& directory(int entry) const { return headers().OptionalHeader.DataDirectory[entry]; }

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
  EXPECT_EQ(image.headers().FileHeader.Machine, IMAGE_FILE_MACHINE_AMD64);
  EXPECT_EQ(image.exports(), std::vector<std::string>{"EntryPointFunc"});
  const std::set<std::string> allowed = {"kernel32.dll", "user32.dll",  "gdi32.dll",    "comctl32.dll",
                                         "shell32.dll",  "shlwapi.dll", "advapi32.dll", "msvcrt.dll"};
  for (const std::string& dll : image.imports()) EXPECT_TRUE(allowed.contains(dll)) << "imports " << dll;
}

// Every property a host reads, in order, as the host's reader decodes it; the reader refuses a list
// whose layout (header, lengths, padding, strings) is off anywhere.
TEST(Artefact, PropertyListHoldsTheEffectsIdentity) {
  const fxhost::PiplResult pipl = fxhost::readPiplFromFile(plugin_test::pluginPath());
  ASSERT_TRUE(pipl.ok()) << pipl.error;
  std::string keys;  // each property's key and data length
  for (const fxhost::PiplProperty& p : pipl.properties) {
    keys += fxhost::fourCharText(p.key) + ":" + std::to_string(p.data.size()) + " ";
    EXPECT_EQ(std::tuple(fxhost::fourCharText(p.vendor), p.id), std::tuple("8BIM", 0)) << keys;
  }
  EXPECT_EQ(keys, "kind:4 name:10 catg:6 8664:15 ePVR:4 eSVR:4 eVER:4 eINF:2 eGLO:4 eGL2:4 eMNA:16 aeFL:4 ");
  const fxhost::PiplInfo& info = pipl.info;
  EXPECT_EQ(std::tuple(fxhost::fourCharText(info.kind.value_or(0)), info.name, info.category, info.matchName,
                       info.entryPoint),
            std::tuple("eFKT", "tessaline", "NORVA", "NORVA TESSALINE", "EntryPointFunc"));
  ASSERT_TRUE(info.piplVersion && info.specVersion && info.effectVersion && info.infoFlags && info.outFlags &&
              info.outFlags2 && info.reservedInfo);
  EXPECT_EQ(std::tuple(info.piplVersion->major, info.piplVersion->minor, info.specVersion->major,
                       info.specVersion->minor),
            std::tuple(2, 0, 13, 27));
  // 0x88E07: version 1.1.1, release, build 7.
  EXPECT_EQ(std::tuple(*info.effectVersion, *info.infoFlags, *info.outFlags, *info.outFlags2, *info.reservedInfo),
            std::tuple(0x88E07u, 0, 0x06000030, 0x08801419, 0));
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
