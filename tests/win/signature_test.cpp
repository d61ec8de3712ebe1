// The check of a signed update with the system's cryptography, against a
// signature made by tools/sign_update with the local site's test key.
#include <gtest/gtest.h>

#include <fstream>

#include "update/signature_check.h"
#include "update_site.h"

namespace {

constexpr char kTestKey[] =
    "REKnHmNd3QBF9FUWEQKgEPFLZJDM5y7RwI7ucnfuEV188hgGyIO2bbgqC5lRP7gd6HdXbcHlxXxF5CSbdBw+Dg==";
constexpr char kOtherKey[] =
    "US5cswAATQORTkQL++VI1AcN7WhQJfCSiZXTAtn0Y9expC+cjcRmZWL1CUXz85ZPrNkJMnaZ98/LehwermQK+w==";
// The file "abc", released as version 3.4 under the name 新版.exe.
constexpr char kSha256[] = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";
const update::UpdateSource kRelease = {
    .address = {},  // not signed: where the file comes from does not matter
    .fileName = "新版.exe",
    .version = "3.4",
    .signature = "eC/4m5iLhw6/7cfQXzyjUwtbWlukuVdlntA23rHDCqhq+v/NKqoyMC/ARA2kSrhxFzg9tee1Dmk71tOmgtEklQ=="};

TEST(SignatureCheck, OnlyTheSignedFileNameAndNewerVersionPass) {
  EXPECT_TRUE(update::IsGenuineRelease(kTestKey, "3.3.0", kRelease, kSha256));
  EXPECT_FALSE(update::IsGenuineRelease(kOtherKey, "3.3.0", kRelease, kSha256));
  EXPECT_FALSE(update::IsGenuineRelease(kTestKey, "3.4", kRelease, kSha256)) << "not newer";
  std::string otherFile = kSha256;
  otherFile[0] = 'c';
  EXPECT_FALSE(update::IsGenuineRelease(kTestKey, "3.3.0", kRelease, otherFile));
  EXPECT_FALSE(update::IsGenuineRelease(kTestKey, "3.3.0", kRelease, ""));
  const auto with = [](auto change) {
    update::UpdateSource r = kRelease;
    change(r);
    return r;
  };
  const update::UpdateSource changed[] = {
      with([](update::UpdateSource& r) { r.version = "3.5"; }),         // newer, but not what was signed
      with([](update::UpdateSource& r) { r.fileName = "新版 .exe"; }),  // another name
      with([](update::UpdateSource& r) { r.signature[10] ^= 1; }),
      with([](update::UpdateSource& r) { r.signature.clear(); }),
      with([](update::UpdateSource& r) { r.signature.pop_back(); }),  // no longer base64
  };
  for (const update::UpdateSource& r : changed) {
    SCOPED_TRACE(r.version + " " + r.fileName + " " + r.signature);
    EXPECT_FALSE(update::IsGenuineRelease(kTestKey, "3.3.0", r, kSha256));
  }
  EXPECT_FALSE(update::IsGenuineRelease("", "3.3.0", kRelease, kSha256));
}

TEST(SignatureCheck, HashesTheWholeFileFromItsStart) {
  test::ScratchDirectory dir;
  std::ofstream((dir / "abc").c_str(), std::ios::binary) << "abc";
  const HANDLE file = CreateFileW((dir / "abc").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  char first;
  DWORD n = 0;
  ReadFile(file, &first, 1, &n, nullptr);  // wherever the handle stands
  EXPECT_EQ(update::FileSha256(file), kSha256);
  CloseHandle(file);
  EXPECT_EQ(update::FileSha256(INVALID_HANDLE_VALUE), "");
}

}  // namespace
