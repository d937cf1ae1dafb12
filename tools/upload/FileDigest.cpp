#include "FileDigest.h"

#include <openssl/evp.h>

namespace {
std::string finalHex(EVP_MD_CTX* context) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    EVP_DigestFinal_ex(context, digest, &length);
    static const char* hex = "0123456789abcdef";
    std::string text;
    for (unsigned int i = 0; i < length; ++i) {
        text += hex[digest[i] >> 4];
        text += hex[digest[i] & 15];
    }
    return text;
}
} // namespace

void FileDigest::Free::operator()(evp_md_ctx_st* context) const {
    EVP_MD_CTX_free(context);
}

FileDigest::FileDigest() : m_md5(EVP_MD_CTX_new()), m_sha256(EVP_MD_CTX_new()) {
    EVP_DigestInit_ex(m_md5.get(), EVP_md5(), nullptr);
    EVP_DigestInit_ex(m_sha256.get(), EVP_sha256(), nullptr);
}

FileDigest::~FileDigest() = default;

void FileDigest::update(const char* data, std::size_t length) {
    EVP_DigestUpdate(m_md5.get(), data, length);
    EVP_DigestUpdate(m_sha256.get(), data, length);
}

void FileDigest::finish() {
    if (m_finished)
        return;
    m_finished = true;
    m_md5Hex = finalHex(m_md5.get());
    m_sha256Hex = finalHex(m_sha256.get());
}

const std::string& FileDigest::md5() {
    finish();
    return m_md5Hex;
}

const std::string& FileDigest::sha256() {
    finish();
    return m_sha256Hex;
}
