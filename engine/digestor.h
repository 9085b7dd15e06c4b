// Digest engine: the digestor interface, its reference counting and the factory.
// Standard C++ only; the same files build for the desktop tool and for the native tests.
#pragma once

#include <cstdint>
#include <string>

// Algorithm chosen by position in the algorithm combo boxes: 0 MD2, 1 MD4, 2 MD5,
// 3 CRC32 (the program's own variant), 4 SHA-1, 5 SHA-256, 6 SHA-512, 7 the zip/PNG/SFV
// CRC-32, 8 SHA3-256, 9 SHA3-512, 10 BLAKE3 (256-bit), 11 XXH3 (64-bit), 12 XXH128.
// Any other value, negative or above 12, means MD5.
typedef int32_t DigestKind;

enum : DigestKind {
    DigestMD2 = 0,
    DigestMD4 = 1,
    DigestMD5 = 2,
    DigestCRC32 = 3,
    DigestSHA1 = 4,
    DigestSHA256 = 5,
    DigestSHA512 = 6,
    DigestZipCRC32 = 7,
    DigestSHA3_256 = 8,
    DigestSHA3_512 = 9,
    DigestBLAKE3 = 10,
    DigestXXH3 = 11,
    DigestXXH128 = 12
};

// Reference count shared by every digestor through virtual inheritance.
// The creator holds the only reference; nothing raises the count.
class IRefCount {
public:
    // Drops one reference; the object is destroyed when none is left.
    void Release();

protected:
    IRefCount() : m_refCount(1) {}
    virtual ~IRefCount() {}

private:
    IRefCount(const IRefCount&) = delete;
    IRefCount& operator=(const IRefCount&) = delete;

    int32_t m_refCount;
};

class IDigestor : public virtual IRefCount {
public:
    // Starts a new message and clears the finished flag.
    virtual void Reset() = 0;
    // Consumes length bytes; any split of a message gives the same digest.
    virtual void Update(const uint8_t* bytes, uint32_t length) = 0;
    // Pads, fixes the digest and sets the finished flag; nothing on a finished digestor.
    virtual void Finish() = 0;
    // Lower-case hexadecimal digest, "" while not finished. The text belongs to the caller.
    virtual std::string DigestText() const = 0;

protected:
    virtual ~IDigestor() {}
};

// New digestor with reference count 1, owned by the caller. Never null:
// memory exhaustion raises std::bad_alloc and leaves nothing allocated.
IDigestor* CreateDigestor(DigestKind kind);

// Holds the one reference to a digestor and releases it when the scope ends,
// however it ends.
class DigestorHolder {
public:
    explicit DigestorHolder(DigestKind kind) : m_digestor(CreateDigestor(kind)) {}
    ~DigestorHolder() { m_digestor->Release(); }
    DigestorHolder(const DigestorHolder&) = delete;
    DigestorHolder& operator=(const DigestorHolder&) = delete;

    IDigestor* Get() const { return m_digestor; }
    IDigestor* operator->() const { return m_digestor; }

private:
    IDigestor* m_digestor;
};
