// The built dist/tessaline.aex as a host finds it on disk: one export, Windows system imports only,
// and the property list byte for byte.

#include <windows.h>

#include <algorithm>
#include <cctype>
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
