#include "update/signature_check.h"

#include <bcrypt.h>

#include <optional>
#include <vector>

#include "text/gbk.h"
#include "ui/scoped.h"
#include "update/release_signature.h"

namespace update {

namespace {

constexpr std::size_t kCoordinate = 32;  // bytes of one P-256 coordinate, and of r and of s

void CloseAlgorithm(BCRYPT_ALG_HANDLE algorithm) {
  BCryptCloseAlgorithmProvider(algorithm, 0);
}
using Algorithm = ui::Owned<BCRYPT_ALG_HANDLE, CloseAlgorithm>;
using Hash = ui::Owned<BCRYPT_HASH_HANDLE, BCryptDestroyHash>;
using Key = ui::Owned<BCRYPT_KEY_HANDLE, BCryptDestroyKey>;

// A CNG algorithm provider, or none. The one-call hash and the shared
// pseudo-handles are left alone: Windows 7 has neither.
Algorithm OpenAlgorithm(const wchar_t* name) {
  BCRYPT_ALG_HANDLE algorithm = nullptr;
  return Algorithm(BCRYPT_SUCCESS(BCryptOpenAlgorithmProvider(&algorithm, name, nullptr, 0)) ? algorithm
                                                                                             : nullptr);
}

// SHA-256 of what `next` hands out, piece by piece until it hands out nothing;
// nothing when the hash or a read fails.
template <class Reader>
std::optional<std::string> Sha256(Reader next) {
  const Algorithm sha = OpenAlgorithm(BCRYPT_SHA256_ALGORITHM);
  BCRYPT_HASH_HANDLE made = nullptr;
  if (!sha || !BCRYPT_SUCCESS(BCryptCreateHash(sha.get(), &made, nullptr, 0, nullptr, 0, 0))) return {};
  const Hash hash(made);
  std::string digest(32, '\0');
  std::optional<std::string_view> piece;
  while ((piece = next()) && !piece->empty() &&
         BCRYPT_SUCCESS(BCryptHashData(hash.get(), reinterpret_cast<PUCHAR>(const_cast<char*>(piece->data())),
                                       static_cast<ULONG>(piece->size()), 0))) {
  }
  // Only the end of the pieces finishes the hash; a failed read or step does not.
  const bool ok =
      piece && piece->empty() &&
      BCRYPT_SUCCESS(BCryptFinishHash(hash.get(), reinterpret_cast<PUCHAR>(digest.data()), 32, 0));
  if (!ok) return {};
  return digest;
}

std::optional<std::string> TextSha256(std::string_view text) {
  bool given = false;
  return Sha256([&]() -> std::optional<std::string_view> {
    if (given) return std::string_view();
    given = true;
    return text;
  });
}

bool VerifySignature(std::string_view publicKey, std::string_view message, std::string_view signature) {
  if (publicKey.size() != 2 * kCoordinate || signature.size() != 2 * kCoordinate) return false;
  const std::optional<std::string> digest = TextSha256(message);
  const Algorithm ecdsa = OpenAlgorithm(BCRYPT_ECDSA_P256_ALGORITHM);
  if (!digest || !ecdsa) return false;
  std::vector<UCHAR> blob(sizeof(BCRYPT_ECCKEY_BLOB) + publicKey.size());
  auto* header = reinterpret_cast<BCRYPT_ECCKEY_BLOB*>(blob.data());
  header->dwMagic = BCRYPT_ECDSA_PUBLIC_P256_MAGIC;
  header->cbKey = kCoordinate;
  publicKey.copy(reinterpret_cast<char*>(blob.data() + sizeof *header), publicKey.size());
  BCRYPT_KEY_HANDLE imported = nullptr;
  if (!BCRYPT_SUCCESS(BCryptImportKeyPair(ecdsa.get(), nullptr, BCRYPT_ECCPUBLIC_BLOB, &imported, blob.data(),
                                          static_cast<ULONG>(blob.size()), 0))) {
    return false;
  }
  const Key key(imported);
  std::string rs(signature);
  return BCRYPT_SUCCESS(
      BCryptVerifySignature(key.get(), nullptr, reinterpret_cast<PUCHAR>(const_cast<char*>(digest->data())),
                            static_cast<ULONG>(digest->size()), reinterpret_cast<PUCHAR>(rs.data()),
                            static_cast<ULONG>(rs.size()), 0));
}

}  // namespace

std::string FileSha256(HANDLE file) {
  LARGE_INTEGER start{};
  if (!SetFilePointerEx(file, start, nullptr, FILE_BEGIN)) return {};
  std::vector<char> buffer(64 * 1024);
  const std::optional<std::string> digest = Sha256([&]() -> std::optional<std::string_view> {
    DWORD n = 0;
    if (!ReadFile(file, buffer.data(), static_cast<DWORD>(buffer.size()), &n, nullptr)) return std::nullopt;
    return std::string_view(buffer.data(), n);
  });
  return digest ? Hex(*digest) : std::string();
}

bool IsGenuineRelease(std::string_view publicKey, std::string_view own, const UpdateSource& release,
                      std::string_view sha256) {
  if (sha256.empty() || !IsNewerVersion(release.version, own)) return false;
  const std::optional<std::string> key = DecodeBase64(publicKey);
  const std::optional<std::string> signature = DecodeBase64(text::TrimBlanks(release.signature));
  return key && signature &&
         VerifySignature(*key, SignedText(release.version, release.fileName, sha256), *signature);
}

}  // namespace update
