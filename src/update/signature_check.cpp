#include "update/signature_check.h"

#include <bcrypt.h>

#include <optional>
#include <vector>

#include "text/gbk.h"
#include "update/release_signature.h"

namespace update {

namespace {

constexpr std::size_t kCoordinate = 32;  // bytes of one P-256 coordinate, and of r and of s

bool Succeeded(NTSTATUS status) {
  return status >= 0;
}

// One CNG algorithm provider, closed at the end of its scope. The one-call
// hash and the shared pseudo-handles are left alone: Windows 7 has neither.
class Algorithm {
 public:
  explicit Algorithm(const wchar_t* name) {
    if (!Succeeded(BCryptOpenAlgorithmProvider(&handle_, name, nullptr, 0))) handle_ = nullptr;
  }
  ~Algorithm() {
    if (handle_) BCryptCloseAlgorithmProvider(handle_, 0);
  }
  Algorithm(const Algorithm&) = delete;
  Algorithm& operator=(const Algorithm&) = delete;
  BCRYPT_ALG_HANDLE get() const { return handle_; }

 private:
  BCRYPT_ALG_HANDLE handle_ = nullptr;
};

// SHA-256 of what `next` hands out, piece by piece until it hands out nothing;
// nothing when the hash or a read fails.
template <class Reader>
std::optional<std::string> Sha256(Reader next) {
  Algorithm sha(BCRYPT_SHA256_ALGORITHM);
  BCRYPT_HASH_HANDLE hash = nullptr;
  if (!sha.get() || !Succeeded(BCryptCreateHash(sha.get(), &hash, nullptr, 0, nullptr, 0, 0))) return {};
  std::string digest(32, '\0');
  std::optional<std::string_view> piece;
  while ((piece = next()) && !piece->empty() &&
         Succeeded(BCryptHashData(hash, reinterpret_cast<PUCHAR>(const_cast<char*>(piece->data())),
                                  static_cast<ULONG>(piece->size()), 0))) {
  }
  // Only the end of the pieces finishes the hash; a failed read or step does not.
  const bool ok = piece && piece->empty() &&
                  Succeeded(BCryptFinishHash(hash, reinterpret_cast<PUCHAR>(digest.data()), 32, 0));
  BCryptDestroyHash(hash);
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
  Algorithm ecdsa(BCRYPT_ECDSA_P256_ALGORITHM);
  if (!digest || !ecdsa.get()) return false;
  std::vector<UCHAR> blob(sizeof(BCRYPT_ECCKEY_BLOB) + publicKey.size());
  auto* header = reinterpret_cast<BCRYPT_ECCKEY_BLOB*>(blob.data());
  header->dwMagic = BCRYPT_ECDSA_PUBLIC_P256_MAGIC;
  header->cbKey = kCoordinate;
  publicKey.copy(reinterpret_cast<char*>(blob.data() + sizeof *header), publicKey.size());
  BCRYPT_KEY_HANDLE key = nullptr;
  if (!Succeeded(BCryptImportKeyPair(ecdsa.get(), nullptr, BCRYPT_ECCPUBLIC_BLOB, &key, blob.data(),
                                     static_cast<ULONG>(blob.size()), 0))) {
    return false;
  }
  std::string rs(signature);
  const bool valid = Succeeded(
      BCryptVerifySignature(key, nullptr, reinterpret_cast<PUCHAR>(const_cast<char*>(digest->data())),
                            static_cast<ULONG>(digest->size()), reinterpret_cast<PUCHAR>(rs.data()),
                            static_cast<ULONG>(rs.size()), 0));
  BCryptDestroyKey(key);
  return valid;
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

bool IsGenuineRelease(std::string_view publicKey, std::string_view own, const Release& release,
                      std::string_view sha256) {
  if (sha256.empty() || !IsNewerVersion(release.version, own)) return false;
  const std::optional<std::string> key = DecodeBase64(publicKey);
  const std::optional<std::string> signature = DecodeBase64(text::TrimBlanks(release.signature));
  return key && signature &&
         VerifySignature(*key, SignedText(release.version, release.fileName, sha256), *signature);
}

}  // namespace update
