#pragma once

#include <cstddef>
#include <memory>
#include <string>

struct evp_md_ctx_st;

// MD5 and SHA-256 of the bytes sent, computed while they stream, so the
// stored file can be checked against whatever digest the service reports.
class FileDigest {
public:
    FileDigest();
    ~FileDigest();
    FileDigest(const FileDigest&) = delete;
    FileDigest& operator=(const FileDigest&) = delete;

    void update(const char* data, std::size_t length);
    // Lower-case hex; finishes the digests on first use.
    const std::string& md5();
    const std::string& sha256();

private:
    void finish();

    struct Free {
        void operator()(evp_md_ctx_st* context) const;
    };
    std::unique_ptr<evp_md_ctx_st, Free> m_md5;
    std::unique_ptr<evp_md_ctx_st, Free> m_sha256;
    std::string m_md5Hex;
    std::string m_sha256Hex;
    bool m_finished = false;
};
