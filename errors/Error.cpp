#include "errors/Error.h"

#include <cstring>

CError::CError(const char* text) {
    size_t n = 0;
    if (text) {
        while (n < kMessageSize - 1 && text[n] != '\0') ++n;
        std::memcpy(message, text, n);
    }
    message[n] = '\0';
}

CError::~CError() {}

const char* CError::GetTypeName() const { return "Generic"; }
const char* CErrorInit::GetTypeName() const { return "Init"; }
const char* CErrorRuntime::GetTypeName() const { return "Runtime"; }
const char* CErrorMissingResource::GetTypeName() const { return "Missing Resource"; }
const char* CErrorBadResource::GetTypeName() const { return "Bad Resource"; }
