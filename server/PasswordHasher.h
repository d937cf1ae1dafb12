#pragma once

#include <string>

namespace lintavo {

// Salted PBKDF2-HMAC-SHA256; the stored text carries its own iteration count and salt.
class PasswordHasher {
public:
    static std::string hash(const std::string& password);
    static bool verify(const std::string& password, const std::string& stored);

private:
    static std::string derive(const std::string& password, const std::string& salt, int iterations);
};

} // namespace lintavo
