#include "errors/Error.h"

#include <cstring>
#include <new>
#include <type_traits>

static_assert(std::is_trivially_destructible<CErrorInit>::value && sizeof(CErrorInit) == sizeof(CError) &&
                  sizeof(CErrorRuntime) == sizeof(CError) && sizeof(CErrorMissingResource) == sizeof(CError) &&
                  sizeof(CErrorBadResource) == sizeof(CError),
              "DeleteError frees every error class as a CError");

CError::CError(const char* text) {
    size_t n = 0;
    if (text) {
        while (n < kMessageSize - 1 && text[n] != '\0') ++n;
        std::memcpy(message, text, n);
    }
    message[n] = '\0';
}

void DeleteError(CError* error) {
    // Every class of the family is a CError with nothing to destroy, allocated
    // by new as one block that starts at the CError.
    ::operator delete(static_cast<void*>(error));
}

const char* CError::GetTypeName() const { return "Generic"; }
const char* CErrorInit::GetTypeName() const { return "Init"; }
const char* CErrorRuntime::GetTypeName() const { return "Runtime"; }
const char* CErrorMissingResource::GetTypeName() const { return "Missing Resource"; }
const char* CErrorBadResource::GetTypeName() const { return "Bad Resource"; }
