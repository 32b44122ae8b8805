#pragma once
// The error family. Every failure raised by the host, its services and the
// engine module is a heap object of one of these classes, thrown as a pointer:
//
//     throw new CErrorRuntime(FormatText("CFoo::Bar : '%s' is broken", name));
//
// Only the entry point catches (as CError*), reports (errors/ErrorReport.h)
// and frees it with DeleteError. The classes live in the shared core library
// with default visibility, so a pointer thrown inside an engine module is
// caught by the host.
//
// GetTypeName is the one entry of the table of virtual operations (engine
// modules built apart from these headers rely on that), so there is no
// virtual destructor. No derived class adds a field, and the destructor is
// trivial: DeleteError frees any of them through a CError*. A plain
// `delete error` is refused at compile time to keep that in one place.

class CError {
public:
    enum { kMessageSize = 2048 };

    // Copies at most the first 2047 characters of text (null reads as empty).
    explicit CError(const char* text);
    virtual const char* GetTypeName() const;  // "Generic"

    char message[kMessageSize];  // always NUL-terminated

protected:
    ~CError() = default;
};

// Frees an error object of any class of the family; null is ignored.
void DeleteError(CError* error);

class CErrorInit : public CError {
public:
    explicit CErrorInit(const char* text) : CError(text) {}
    const char* GetTypeName() const override;  // "Init"
};

class CErrorRuntime : public CError {
public:
    explicit CErrorRuntime(const char* text) : CError(text) {}
    const char* GetTypeName() const override;  // "Runtime"
};

class CErrorMissingResource : public CError {
public:
    explicit CErrorMissingResource(const char* text) : CError(text) {}
    const char* GetTypeName() const override;  // "Missing Resource"
};

class CErrorBadResource : public CError {
public:
    explicit CErrorBadResource(const char* text) : CError(text) {}
    const char* GetTypeName() const override;  // "Bad Resource"
};
