// The built program's identity, read from its file the way Explorer and the shell read it:
// the version information through the version API and as the raw resource, the icon group and
// its images, the list of resource types, and the PE header.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "resources/maker.h"

#ifndef VARNOK_PROGRAM_PATH
#error "VARNOK_PROGRAM_PATH must name the built program"
#endif

namespace {

std::wstring widen(const char* text) {
  const int size = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
  std::wstring out(static_cast<std::size_t>(size > 0 ? size - 1 : 0), L'\0');
  if (size > 1) MultiByteToWideChar(CP_UTF8, 0, text, -1, out.data(), size);
  return out;
}

const std::wstring& program_path() {
  static const std::wstring path = widen(VARNOK_PROGRAM_PATH);
  return path;
}

// The program loaded as data only: nothing of it runs, and its resources can be enumerated.
class ProgramImage {
 public:
  ProgramImage() : module_(LoadLibraryExW(program_path().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)) {}
  ~ProgramImage() {
    if (module_) FreeLibrary(module_);
  }
  ProgramImage(const ProgramImage&) = delete;
  ProgramImage& operator=(const ProgramImage&) = delete;
  HMODULE get() const { return module_; }

 private:
  HMODULE module_;
};

struct ResourceBytes {
  const std::uint8_t* data = nullptr;
  DWORD size = 0;
};

ResourceBytes resource(HMODULE module, LPCWSTR type, WORD id, WORD language) {
  HRSRC found = FindResourceExW(module, type, MAKEINTRESOURCEW(id), language);
  if (!found) return {};
  HGLOBAL loaded = LoadResource(module, found);
  if (!loaded) return {};
  return {static_cast<const std::uint8_t*>(LockResource(loaded)), SizeofResource(module, found)};
}

std::uint32_t read16(const std::uint8_t* p) { return static_cast<std::uint32_t>(p[0] | (p[1] << 8)); }
std::uint32_t read32(const std::uint8_t* p) { return read16(p) | (read16(p + 2) << 16); }

BOOL CALLBACK collect_type(HMODULE, LPWSTR type, LONG_PTR out) {
  // A type given by name rather than by number is recorded as 0xFFFF: there should be none.
  reinterpret_cast<std::vector<ULONG_PTR>*>(out)->push_back(IS_INTRESOURCE(type) ? reinterpret_cast<ULONG_PTR>(type) : 0xFFFF);
  return TRUE;
}

BOOL CALLBACK collect_name(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR out) {
  reinterpret_cast<std::vector<ULONG_PTR>*>(out)->push_back(IS_INTRESOURCE(name) ? reinterpret_cast<ULONG_PTR>(name) : 0xFFFF);
  return TRUE;
}

BOOL CALLBACK collect_language(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR out) {
  reinterpret_cast<std::vector<WORD>*>(out)->push_back(language);
  return TRUE;
}

std::vector<ULONG_PTR> resource_types(HMODULE module) {
  std::vector<ULONG_PTR> types;
  EnumResourceTypesW(module, collect_type, reinterpret_cast<LONG_PTR>(&types));
  std::sort(types.begin(), types.end());
  return types;
}

std::vector<ULONG_PTR> resource_names(HMODULE module, LPCWSTR type) {
  std::vector<ULONG_PTR> names;
  EnumResourceNamesW(module, type, collect_name, reinterpret_cast<LONG_PTR>(&names));
  std::sort(names.begin(), names.end());
  return names;
}

std::vector<WORD> resource_languages(HMODULE module, LPCWSTR type, WORD id) {
  std::vector<WORD> languages;
  EnumResourceLanguagesW(module, type, MAKEINTRESOURCEW(id), collect_language, reinterpret_cast<LONG_PTR>(&languages));
  return languages;
}

// ---- The version information through the API Explorer's properties page uses. ----

std::vector<std::uint8_t> version_info() {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(program_path().c_str(), &ignored);
  std::vector<std::uint8_t> block(size);
  if (size == 0 || !GetFileVersionInfoW(program_path().c_str(), 0, size, block.data())) block.clear();
  return block;
}

std::wstring version_string(std::vector<std::uint8_t>& block, const std::wstring& key) {
  void* value = nullptr;
  UINT length = 0;
  const std::wstring query = L"\\StringFileInfo\\040904B0\\" + key;
  if (!VerQueryValueW(block.data(), query.c_str(), &value, &length) || !value) return L"<missing>";
  return static_cast<const wchar_t*>(value);
}

// ---- The raw RT_VERSION resource: a tree of blocks, each with its key, value and children. ----

struct VersionNode {
  std::wstring key;
  std::uint32_t type = 0;
  std::uint32_t value_length = 0;
  std::vector<std::uint8_t> value;  // as stored; text is read up to its terminator
  std::vector<VersionNode> children;

  std::wstring text() const {
    std::wstring out;
    for (std::size_t i = 0; i + 1 < value.size(); i += 2) {
      const wchar_t c = static_cast<wchar_t>(value[i] | (value[i + 1] << 8));
      if (c == L'\0') break;
      out += c;
    }
    return out;
  }
  std::vector<std::wstring> child_keys() const {
    std::vector<std::wstring> keys;
    for (const VersionNode& child : children) keys.push_back(child.key);
    return keys;
  }
};

std::size_t align4(std::size_t offset) { return (offset + 3) & ~std::size_t{3}; }

// Offsets are from the start of the resource, where the 32-bit alignment is counted from.
bool parse_version_node(const std::uint8_t* base, std::size_t offset, std::size_t limit, VersionNode& node) {
  if (offset + 6 > limit) return false;
  const std::size_t length = read16(base + offset);
  const std::size_t end = offset + length;
  if (length < 6 || end > limit) return false;
  node.value_length = read16(base + offset + 2);
  node.type = read16(base + offset + 4);
  std::size_t at = offset + 6;
  for (;; at += 2) {
    if (at + 2 > end) return false;
    const wchar_t c = static_cast<wchar_t>(read16(base + at));
    if (c == L'\0') break;
    node.key += c;
  }
  at = align4(at + 2);
  const std::size_t value_bytes = node.type == 1 ? 2 * node.value_length : node.value_length;
  if (at + value_bytes > end) return false;
  node.value.assign(base + at, base + at + value_bytes);
  at = align4(at + value_bytes);
  while (at < end) {
    VersionNode child;
    if (!parse_version_node(base, at, end, child)) return false;
    at = align4(at + read16(base + at));
    node.children.push_back(std::move(child));
  }
  return true;
}

const std::wstring kStringKeys[] = {L"CompanyName",  L"FileDescription", L"ProductName",     L"FileVersion",
                                    L"ProductVersion", L"InternalName",  L"OriginalFilename"};

std::vector<std::wstring> expected_string_values() {
  return {L"Varnok Engine",
          L"Standalone Shutdon Manager Using Some Windows Command and Varnok Command Created By " + widen(VARNOK_MAKER_NAME),
          L"Varnok Shutdown Manager",
          L"1.00",
          L"1.00",
          L"Varnok Shutdown Manager",
          L"Varnok Shutdown Manager.exe"};
}

// ---- The icon. ----

struct IconEntry {
  int size, bit_count;
};
constexpr IconEntry kIconEntries[] = {{16, 4}, {16, 24}, {16, 32}, {32, 4}, {32, 24}, {32, 32},
                                      {48, 4}, {48, 24}, {48, 32}, {64, 4}, {64, 24}, {64, 32}};
constexpr WORD kFirstIconId = 30001;
constexpr WORD kNeutral = MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL);

std::vector<std::uint8_t> read_whole_file(const std::wstring& path) {
  std::vector<std::uint8_t> bytes;
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return bytes;
  LARGE_INTEGER size{};
  if (GetFileSizeEx(file, &size) && size.QuadPart > 0 && size.QuadPart < (64 << 20)) {
    bytes.resize(static_cast<std::size_t>(size.QuadPart));
    DWORD read = 0;
    if (!ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) || read != bytes.size()) bytes.clear();
  }
  CloseHandle(file);
  return bytes;
}

// Reads a T at a file offset; false when the file is too short to hold it.
template <typename T>
bool read_at(const std::vector<std::uint8_t>& file, std::size_t offset, T& out) {
  if (offset > file.size() || file.size() - offset < sizeof out) return false;
  std::memcpy(&out, file.data() + offset, sizeof out);
  return true;
}

// The names of the functions a PE file imports by name, read from its import directory.
std::vector<std::string> imported_functions(const std::vector<std::uint8_t>& file, std::size_t nt_offset,
                                            const IMAGE_NT_HEADERS64& nt) {
  std::vector<IMAGE_SECTION_HEADER> sections(nt.FileHeader.NumberOfSections);
  const std::size_t first_section = nt_offset + offsetof(IMAGE_NT_HEADERS64, OptionalHeader) +
                                    nt.FileHeader.SizeOfOptionalHeader;
  for (std::size_t i = 0; i < sections.size(); ++i)
    if (!read_at(file, first_section + i * sizeof(IMAGE_SECTION_HEADER), sections[i])) return {};
  const auto offset_of = [&](DWORD rva) -> std::size_t {
    for (const IMAGE_SECTION_HEADER& section : sections)
      if (rva >= section.VirtualAddress && rva - section.VirtualAddress < section.SizeOfRawData)
        return section.PointerToRawData + (rva - section.VirtualAddress);
    return file.size();
  };
  const auto string_at = [&](std::size_t offset) {
    std::string text;
    while (offset < file.size() && file[offset]) text += static_cast<char>(file[offset++]);
    return text;
  };

  std::vector<std::string> functions;
  const DWORD imports = nt.OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
  IMAGE_IMPORT_DESCRIPTOR dll{};
  for (std::size_t at = offset_of(imports); read_at(file, at, dll) && dll.Name; at += sizeof dll) {
    std::uint64_t thunk = 0;
    for (std::size_t entry = offset_of(dll.OriginalFirstThunk ? dll.OriginalFirstThunk : dll.FirstThunk);
         read_at(file, entry, thunk) && thunk; entry += sizeof thunk)
      if (!(thunk & IMAGE_ORDINAL_FLAG64))
        functions.push_back(string_at(offset_of(static_cast<DWORD>(thunk)) + sizeof(WORD)));  // after the hint
  }
  return functions;
}

// Functions that Windows 7 lacks, with the version that brought them, among those a change to
// the program could plausibly reach for: importing one, the program would not even load on the
// oldest Windows its header declares.
struct NewerFunction {
  const char* name;
  WORD major, minor;
};
constexpr NewerFunction kNewerFunctions[] = {
    {"GetSystemTimePreciseAsFileTime", 6, 2}, {"CreateFile2", 6, 2}, {"GetCurrentThreadStackLimits", 6, 2},
    {"SetProcessDpiAwarenessContext", 10, 0}, {"GetDpiForWindow", 10, 0}, {"GetDpiForSystem", 10, 0},
    {"AdjustWindowRectExForDpi", 10, 0}, {"GetSystemMetricsForDpi", 10, 0}, {"SetThreadDescription", 10, 0},
    {"SetDefaultDllDirectories", 6, 2},  // in Windows 7 only with update KB2533623
};

}  // namespace

TEST(IdentityVersionInfo, FixedPartSaysVersionOneOfAWindowsApplication) {
  std::vector<std::uint8_t> block = version_info();
  ASSERT_FALSE(block.empty()) << "no version information in the program";
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  ASSERT_NE(fixed, nullptr);
  ASSERT_EQ(length, sizeof(VS_FIXEDFILEINFO));
  EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
  EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(0, 1));
  EXPECT_EQ(fixed->dwFileVersionLS, 0u);
  EXPECT_EQ(fixed->dwProductVersionMS, MAKELONG(0, 1));
  EXPECT_EQ(fixed->dwProductVersionLS, 0u);
  EXPECT_EQ(fixed->dwFileFlagsMask, 0u);
  EXPECT_EQ(fixed->dwFileFlags, 0u);
  EXPECT_EQ(fixed->dwFileOS, static_cast<DWORD>(VOS__WINDOWS32));
  EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
  EXPECT_EQ(fixed->dwFileSubtype, 0u);
  EXPECT_EQ(fixed->dwFileDateMS, 0u);
  EXPECT_EQ(fixed->dwFileDateLS, 0u);
}

TEST(IdentityVersionInfo, OneTranslationUsEnglishUnicodeAndTheProgramsStrings) {
  std::vector<std::uint8_t> block = version_info();
  ASSERT_FALSE(block.empty());
  WORD* translation = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length));
  ASSERT_EQ(length, 4u);
  EXPECT_EQ(translation[0], 0x0409);
  EXPECT_EQ(translation[1], 0x04B0);

  const std::vector<std::wstring> expected = expected_string_values();
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(version_string(block, kStringKeys[i]), expected[i]) << kStringKeys[i];
  }
  EXPECT_EQ(version_string(block, L"LegalCopyright"), L"<missing>");
  EXPECT_EQ(version_string(block, L"Comments"), L"<missing>");
}

TEST(IdentityVersionResource, IsIdOneInUsEnglishWithItsBlocksAndKeysInOrderAndNothingElse) {
  ProgramImage program;
  ASSERT_NE(program.get(), nullptr) << "cannot load the program as data";
  EXPECT_EQ(resource_names(program.get(), RT_VERSION), std::vector<ULONG_PTR>{1});
  EXPECT_EQ(resource_languages(program.get(), RT_VERSION, 1), std::vector<WORD>{1033});

  const ResourceBytes raw = resource(program.get(), RT_VERSION, 1, MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
  ASSERT_NE(raw.data, nullptr);
  VersionNode root;
  ASSERT_TRUE(parse_version_node(raw.data, 0, raw.size, root)) << "malformed version resource";
  EXPECT_EQ(root.key, L"VS_VERSION_INFO");
  EXPECT_EQ(root.type, 0u);
  ASSERT_EQ(root.value.size(), sizeof(VS_FIXEDFILEINFO));
  EXPECT_EQ(read32(root.value.data()), 0xFEEF04BDu);
  ASSERT_EQ(root.child_keys(), (std::vector<std::wstring>{L"VarFileInfo", L"StringFileInfo"}));

  const VersionNode& var_file_info = root.children[0];
  ASSERT_EQ(var_file_info.child_keys(), std::vector<std::wstring>{L"Translation"});
  const VersionNode& translation = var_file_info.children[0];
  EXPECT_EQ(translation.type, 0u);
  EXPECT_EQ(translation.value, (std::vector<std::uint8_t>{0x09, 0x04, 0xB0, 0x04}));
  EXPECT_TRUE(translation.children.empty());

  const VersionNode& string_file_info = root.children[1];
  ASSERT_EQ(string_file_info.child_keys(), std::vector<std::wstring>{L"040904B0"});
  const VersionNode& table = string_file_info.children[0];
  const std::vector<std::wstring> keys(std::begin(kStringKeys), std::end(kStringKeys));
  ASSERT_EQ(table.child_keys(), keys);
  const std::vector<std::wstring> values = expected_string_values();
  for (std::size_t i = 0; i < values.size(); ++i) {
    EXPECT_EQ(table.children[i].type, 1u) << keys[i];
    EXPECT_EQ(table.children[i].text(), values[i]) << keys[i];
    EXPECT_TRUE(table.children[i].children.empty()) << keys[i];
  }
}

TEST(IdentityResources, OnlyIconsTheIconGroupAndTheVersionAreEmbedded) {
  ProgramImage program;
  ASSERT_NE(program.get(), nullptr);
  // No manifest (24), string table, menu, dialog or accelerators.
  EXPECT_EQ(resource_types(program.get()),
            (std::vector<ULONG_PTR>{reinterpret_cast<ULONG_PTR>(RT_ICON), reinterpret_cast<ULONG_PTR>(RT_GROUP_ICON),
                                    reinterpret_cast<ULONG_PTR>(RT_VERSION)}));
  EXPECT_EQ(resource_names(program.get(), RT_GROUP_ICON), std::vector<ULONG_PTR>{1});
  EXPECT_EQ(resource_languages(program.get(), RT_GROUP_ICON, 1), std::vector<WORD>{kNeutral});

  std::vector<ULONG_PTR> icon_ids;
  for (WORD i = 0; i < 12; ++i) icon_ids.push_back(kFirstIconId + i);
  EXPECT_EQ(resource_names(program.get(), RT_ICON), icon_ids);
  for (const ULONG_PTR id : icon_ids) {
    EXPECT_EQ(resource_languages(program.get(), RT_ICON, static_cast<WORD>(id)), std::vector<WORD>{kNeutral}) << id;
  }
}

TEST(IdentityIcon, GroupOneListsTwelveUncompressedImagesByIdSizeAndDepth) {
  ProgramImage program;
  ASSERT_NE(program.get(), nullptr);
  const ResourceBytes group = resource(program.get(), RT_GROUP_ICON, 1, kNeutral);
  ASSERT_NE(group.data, nullptr);
  ASSERT_EQ(group.size, 6u + 14u * 12u);
  EXPECT_EQ(read16(group.data), 0u);
  EXPECT_EQ(read16(group.data + 2), 1u);
  ASSERT_EQ(read16(group.data + 4), 12u);

  for (std::size_t i = 0; i < 12; ++i) {
    const std::uint8_t* entry = group.data + 6 + 14 * i;
    const IconEntry& want = kIconEntries[i];
    const WORD id = static_cast<WORD>(kFirstIconId + i);
    SCOPED_TRACE(testing::Message() << "icon " << id);
    EXPECT_EQ(entry[0], want.size);
    EXPECT_EQ(entry[1], want.size);
    EXPECT_EQ(entry[2], want.bit_count == 4 ? 16 : 0);
    EXPECT_EQ(entry[3], 0);
    EXPECT_EQ(read16(entry + 4), 1u);
    EXPECT_EQ(read16(entry + 6), static_cast<std::uint32_t>(want.bit_count));
    EXPECT_EQ(read16(entry + 12), id);

    const ResourceBytes image = resource(program.get(), RT_ICON, id, kNeutral);
    ASSERT_NE(image.data, nullptr);
    EXPECT_EQ(image.size, read32(entry + 8));
    ASSERT_GE(image.size, sizeof(BITMAPINFOHEADER));
    const std::uint8_t png[] = {0x89, 'P', 'N', 'G'};
    EXPECT_NE(std::memcmp(image.data, png, sizeof png), 0);
    BITMAPINFOHEADER header;
    std::memcpy(&header, image.data, sizeof header);
    EXPECT_EQ(header.biSize, sizeof(BITMAPINFOHEADER));
    EXPECT_EQ(header.biWidth, want.size);
    EXPECT_EQ(header.biHeight, 2 * want.size);
    EXPECT_EQ(header.biPlanes, 1);
    EXPECT_EQ(header.biBitCount, want.bit_count);
    EXPECT_EQ(header.biCompression, static_cast<DWORD>(BI_RGB));
    const DWORD palette = want.bit_count == 4 ? 16 * sizeof(RGBQUAD) : 0;
    const DWORD colour_rows = static_cast<DWORD>((want.size * want.bit_count + 31) / 32 * 4 * want.size);
    const DWORD mask_rows = static_cast<DWORD>((want.size + 31) / 32 * 4 * want.size);
    EXPECT_EQ(header.biSizeImage, colour_rows + mask_rows);
    EXPECT_EQ(image.size, sizeof header + palette + colour_rows + mask_rows);

    // Windows itself accepts the image and makes an icon of the right size from it.
    HICON icon = CreateIconFromResourceEx(const_cast<PBYTE>(image.data), image.size, TRUE, 0x00030000, 0, 0, LR_DEFAULTCOLOR);
    ASSERT_NE(icon, nullptr);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    BITMAP mask{};
    EXPECT_NE(GetObjectW(info.hbmMask, sizeof mask, &mask), 0);
    EXPECT_EQ(mask.bmWidth, want.size);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    if (info.hbmMask) DeleteObject(info.hbmMask);
    DestroyIcon(icon);
  }

  // Asked for a size the group has, the shell's lookup picks an image of that size.
  for (const int size : {16, 32, 48, 64}) {
    const int id = LookupIconIdFromDirectoryEx(const_cast<PBYTE>(group.data), TRUE, size, size, LR_DEFAULTCOLOR);
    const auto first = std::find_if(std::begin(kIconEntries), std::end(kIconEntries),
                                    [&](const IconEntry& e) { return e.size == size; });
    const int first_id = kFirstIconId + static_cast<int>(first - std::begin(kIconEntries));
    EXPECT_GE(id, first_id) << size;
    EXPECT_LE(id, first_id + 2) << size;
  }
}

TEST(IdentityPeHeader, GuiSubsystemImageVersionOneNoTimestampAndTheOldestWindowsItsImportsAllow) {
  const std::vector<std::uint8_t> file = read_whole_file(program_path());
  ASSERT_GE(file.size(), sizeof(IMAGE_DOS_HEADER));
  IMAGE_DOS_HEADER dos;
  std::memcpy(&dos, file.data(), sizeof dos);
  ASSERT_EQ(dos.e_magic, IMAGE_DOS_SIGNATURE);
  ASSERT_GT(dos.e_lfanew, 0);
  const auto nt_offset = static_cast<std::size_t>(dos.e_lfanew);
  ASSERT_GE(file.size(), nt_offset + sizeof(IMAGE_NT_HEADERS64));
  IMAGE_NT_HEADERS64 nt;
  std::memcpy(&nt, file.data() + nt_offset, sizeof nt);
  ASSERT_EQ(nt.Signature, static_cast<DWORD>(IMAGE_NT_SIGNATURE));
  EXPECT_EQ(nt.FileHeader.Machine, IMAGE_FILE_MACHINE_AMD64);
  EXPECT_EQ(nt.FileHeader.TimeDateStamp, 0u);
  ASSERT_EQ(nt.OptionalHeader.Magic, IMAGE_NT_OPTIONAL_HDR64_MAGIC);
  EXPECT_EQ(nt.OptionalHeader.Subsystem, IMAGE_SUBSYSTEM_WINDOWS_GUI);
  EXPECT_EQ(nt.OptionalHeader.MajorImageVersion, 1);
  EXPECT_EQ(nt.OptionalHeader.MinorImageVersion, 0);

  // The guides promise Windows 7 (6.1): both builds declare it as the oldest to load the
  // program on, and compile for it; Windows also picks a window's frame by the subsystem version.
  constexpr WORD kMajor = 6, kMinor = 1;
  EXPECT_EQ(_WIN32_WINNT, MAKEWORD(kMinor, kMajor));
  EXPECT_EQ(nt.OptionalHeader.MajorOperatingSystemVersion, kMajor);
  EXPECT_EQ(nt.OptionalHeader.MinorOperatingSystemVersion, kMinor);
  EXPECT_EQ(nt.OptionalHeader.MajorSubsystemVersion, kMajor);
  EXPECT_EQ(nt.OptionalHeader.MinorSubsystemVersion, kMinor);
  EXPECT_TRUE(nt.OptionalHeader.DllCharacteristics & IMAGE_DLLCHARACTERISTICS_TERMINAL_SERVER_AWARE);
  const std::vector<std::string> imports = imported_functions(file, nt_offset, nt);
  EXPECT_NE(std::find(imports.begin(), imports.end(), "CreateProcessW"), imports.end()) << "imports unread";
  for (const NewerFunction& function : kNewerFunctions) {
    if (std::find(imports.begin(), imports.end(), function.name) == imports.end()) continue;
    EXPECT_GE(MAKEWORD(nt.OptionalHeader.MinorSubsystemVersion, nt.OptionalHeader.MajorSubsystemVersion),
              MAKEWORD(function.minor, function.major))
        << function.name;
    EXPECT_GE(MAKEWORD(nt.OptionalHeader.MinorOperatingSystemVersion, nt.OptionalHeader.MajorOperatingSystemVersion),
              MAKEWORD(function.minor, function.major))
        << function.name;
  }
}
