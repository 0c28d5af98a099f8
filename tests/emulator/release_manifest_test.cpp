// The application manifests of the release's two programs, read from the
// built files as Windows reads them: resource 1 of type RT_MANIFEST. Wine
// ignores most of a manifest, so the tests under Wine cannot show what
// Windows makes of one; this reads what Windows will.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <regex>
#include <string>
#include <tuple>
#include <vector>

#include "tests/case_name.h"
#include "tests/emulator/pe_image.h"

namespace holsterkeys::emulator {
namespace {

constexpr std::uint32_t kManifestType = 24;
constexpr std::uint32_t kProcessManifest = 1;
constexpr std::uint32_t kLibraryManifest = 2;

struct Program {
  const char* name;
  const char* file;
  const char* identity;  // the assembly name it gives itself
};

const Program kPrograms[] = {
    {"Setup", "holsterkeys-setup.exe", "holsterkeys.setup"},
    {"Check", "holsterkeys-check.exe", "holsterkeys.check"},
};

void PrintTo(const Program& program, std::ostream* out) { *out << program.name; }

std::string release_file(const char* name) {
  return std::string(HOLSTERKEYS_RELEASE_DIR) + "/" + name;
}

std::optional<std::string> manifest_of(const char* file) {
  return find_resource(read_pe_image(release_file(file)), kManifestType, kProcessManifest);
}

// Text anywhere inside the element that `opening` opens, up to its close.
std::string inside(const std::string& opening, const std::string& closing,
                   const std::string& pattern) {
  return opening + "(?:(?!" + closing + ")[\\s\\S])*" + pattern;
}

std::string supported_os(const std::string& id) {
  return inside(
      R"(<compatibility xmlns="urn:schemas-microsoft-com:compatibility.v1">\s*<application>)",
      "</application>", R"(<supportedOS Id="\{)" + id + R"(\}"/>)");
}

std::string windows_setting(const std::string& pattern) {
  return inside(R"(<application xmlns="urn:schemas-microsoft-com:asm.v3">\s*<windowsSettings>)",
                "</windowsSettings>", pattern);
}

// What each program's manifest must say, as a pattern over its text.
struct Entry {
  const char* name;
  std::string pattern;
};

const Entry kEntries[] = {
    // No file virtualisation: the programs read and write the real file,
    // and a protected folder is refused with the reason.
    {"RunsAsInvoker",
     R"(<trustInfo xmlns="urn:schemas-microsoft-com:asm.v3">\s*<security>\s*<requestedPrivileges>\s*)"
     R"(<requestedExecutionLevel level="asInvoker" uiAccess="false"/>)"},
    {"CommonControlsSix",
     R"(<dependency>\s*<dependentAssembly>\s*<assemblyIdentity type="win32" )"
     R"(name="Microsoft.Windows.Common-Controls" version="6.0.0.0"\s+processorArchitecture="\*" )"
     R"(publicKeyToken="6595b64144ccf1df" language="\*"/>)"},
    {"PerMonitorDpiAware",
     windows_setting(
         R"(<dpiAware xmlns="http://schemas.microsoft.com/SMI/2005/WindowsSettings">true/pm</dpiAware>)")},
    {"PerMonitorV2DpiAwareness",
     windows_setting(
         R"(<dpiAwareness xmlns="http://schemas.microsoft.com/SMI/2016/WindowsSettings">)"
         R"(PerMonitorV2[,<])")},
    {"SupportsWindows7", supported_os("35138b9a-5d96-4fbd-8e2d-a2440225f93a")},
    {"SupportsWindows8", supported_os("4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38")},
    {"SupportsWindows81", supported_os("1f676c76-80e1-4239-95bb-83d0f6d0da78")},
    {"SupportsWindows10And11", supported_os("8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a")},
};

void PrintTo(const Entry& entry, std::ostream* out) { *out << entry.name; }

class ProgramManifest : public testing::TestWithParam<std::tuple<Program, Entry>> {};

TEST_P(ProgramManifest, Says) {
  const auto& [program, entry] = GetParam();
  const std::optional<std::string> manifest = manifest_of(program.file);
  ASSERT_TRUE(manifest) << program.file << " carries no manifest";
  EXPECT_TRUE(std::regex_search(*manifest, std::regex(entry.pattern)))
      << program.file << "'s manifest lacks " << entry.name << ":\n"
      << *manifest;
}

INSTANTIATE_TEST_SUITE_P(Entries, ProgramManifest,
                         testing::Combine(testing::ValuesIn(kPrograms),
                                          testing::ValuesIn(kEntries)),
                         [](const testing::TestParamInfo<std::tuple<Program, Entry>>& info) {
                           return std::string(std::get<0>(info.param).name) + "_" +
                                  std::get<1>(info.param).name;
                         });

// Windows refuses to start a program whose manifest is not well-formed, so
// every element must close, in order. Returns what is wrong, or nothing.
std::string malformation(std::string text) {
  text = std::regex_replace(text, std::regex(R"(<!--[\s\S]*?-->|<\?[\s\S]*?\?>)"), "");
  std::vector<std::string> open;
  const std::regex tag(R"(<(/?)([A-Za-z][\w.:-]*)[^<>]*?(/?)>)");
  for (std::sregex_iterator at(text.begin(), text.end(), tag), end; at != end; ++at) {
    const std::string name = (*at)[2];
    if ((*at)[1].length() == 0) {
      if ((*at)[3].length() == 0) open.push_back(name);
    } else if (open.empty() || open.back() != name) {
      return "</" + name + "> closes " + (open.empty() ? "nothing" : "<" + open.back() + ">");
    } else {
      open.pop_back();
    }
  }
  if (!open.empty()) return "<" + open.back() + "> is never closed";
  if (text.find("<assembly ") == std::string::npos) return "no <assembly> element";
  return "";
}

class WholeManifest : public testing::TestWithParam<Program> {};

TEST_P(WholeManifest, IsWellFormedAndNamesItsProgram) {
  const std::optional<std::string> manifest = manifest_of(GetParam().file);
  ASSERT_TRUE(manifest) << GetParam().file << " carries no manifest";
  EXPECT_EQ(malformation(*manifest), "");
  EXPECT_TRUE(std::regex_search(*manifest,
                                std::regex(std::string(R"(<assemblyIdentity type="win32" name=")") +
                                           GetParam().identity + "\"")))
      << *manifest;
}

INSTANTIATE_TEST_SUITE_P(Programs, WholeManifest, testing::ValuesIn(kPrograms), CaseName());

// A DLL runs in its host's context and carries no manifest of its own.
TEST(ModuleManifest, ModuleCarriesNone) {
  const PeImage module = read_pe_image(release_file("holsterkeys.dll"));
  EXPECT_FALSE(find_resource(module, kManifestType, kProcessManifest));
  EXPECT_FALSE(find_resource(module, kManifestType, kLibraryManifest));
}

}  // namespace
}  // namespace holsterkeys::emulator
