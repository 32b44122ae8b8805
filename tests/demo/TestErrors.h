#pragma once
// Runs a statement that must throw an error object of the CError family and
// hands back its type name and message (the object is freed).
#include <string>

#include "errors/Error.h"

struct CaughtError {
    bool thrown = false;
    std::string type;
    std::string message;
};

template <typename F>
CaughtError Catch(F statement) {
    CaughtError caught;
    try {
        statement();
    } catch (CError* error) {
        caught.thrown = true;
        caught.type = error->GetTypeName();
        caught.message = error->message;
        DeleteError(error);
    }
    return caught;
}
