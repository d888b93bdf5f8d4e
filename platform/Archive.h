#pragma once
// The framework's binary archive: little-endian values, length-prefixed strings and tagged
// objects over a file or a memory buffer.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/Object.h"
#include "platform/Types.h"

class CArchiveException : public std::runtime_error {
public:
    enum Cause : int {
        none,
        genericException,
        readOnly,
        endOfFile,
        writeOnly,
        badIndex,
        badClass,
        badSchema
    };
    explicit CArchiveException(Cause cause, const std::string& what = {});
    Cause m_cause;
};

// Where an archive's bytes come from or go to.
class CArchiveStream {
public:
    virtual ~CArchiveStream() = default;
    virtual std::size_t Read(void* buffer, std::size_t count) = 0;
    virtual void Write(const void* buffer, std::size_t count) = 0;
    // Bytes left to read.
    virtual std::uint64_t Remaining() const = 0;
};

class CMemFile : public CArchiveStream {
public:
    CMemFile() = default;
    explicit CMemFile(std::vector<std::uint8_t> bytes) : data(std::move(bytes)) {}
    std::size_t Read(void* buffer, std::size_t count) override;
    void Write(const void* buffer, std::size_t count) override;
    std::uint64_t Remaining() const override { return data.size() - position; }
    const std::vector<std::uint8_t>& Bytes() const { return data; }
    void SeekToBegin() { position = 0; }

private:
    std::vector<std::uint8_t> data;
    std::size_t position = 0;
};

class CFileException : public std::runtime_error {
public:
    enum Cause : int {
        none,
        genericException,
        fileNotFound,
        badPath,
        tooManyOpenFiles,
        accessDenied,
        invalidFile,
        removeCurrentDir,
        directoryFull,
        badSeek,
        hardIO,
        sharingViolation,
        lockViolation,
        diskFull,
        endOfFile
    };
    CFileException(Cause cause, std::string path);
    static Cause CauseFromErrno(int error);
    Cause m_cause;
    std::string m_strFileName;
};

// A file for an archive; throws CFileException when it cannot be opened or written.
class CStdioArchiveFile : public CArchiveStream {
public:
    enum Mode { modeRead, modeCreate };
    CStdioArchiveFile(const std::string& path, Mode mode);
    ~CStdioArchiveFile() override;
    std::size_t Read(void* buffer, std::size_t count) override;
    void Write(const void* buffer, std::size_t count) override;
    std::uint64_t Remaining() const override;
    void Close();

private:
    std::FILE* file = nullptr;
    std::string path;
    std::uint64_t size = 0;
    std::uint64_t position = 0;
};

class CArchive {
public:
    enum Mode { store = 0, load = 1 };
    CArchive(CArchiveStream* stream, Mode mode);
    CArchive(const CArchive&) = delete;
    CArchive& operator=(const CArchive&) = delete;

    bool IsStoring() const { return mode == store; }
    bool IsLoading() const { return mode == load; }

    void Write(const void* buffer, std::size_t count);
    // Reads exactly `count` bytes or throws endOfFile.
    void Read(void* buffer, std::size_t count);
    std::uint64_t Remaining() const { return stream->Remaining(); }
    // Throws endOfFile unless `count` more bytes can be read: check before allocating.
    void Require(std::uint64_t count) const;

    CArchive& operator<<(std::int8_t v) { return Put(v); }
    CArchive& operator<<(std::uint8_t v) { return Put(v); }
    CArchive& operator<<(std::int16_t v) { return Put(v); }
    CArchive& operator<<(std::uint16_t v) { return Put(v); }
    CArchive& operator<<(std::int32_t v) { return Put(v); }
    CArchive& operator<<(std::uint32_t v) { return Put(v); }
    CArchive& operator<<(std::int64_t v) { return Put(v); }
    CArchive& operator<<(std::uint64_t v) { return Put(v); }
    CArchive& operator<<(float v) { return Put(v); }
    CArchive& operator<<(double v) { return Put(v); }
    CArchive& operator<<(const std::string& s) {
        WriteString(s);
        return *this;
    }
    CArchive& operator<<(const LOGFONTA& lf);

    CArchive& operator>>(std::int8_t& v) { return Get(v); }
    CArchive& operator>>(std::uint8_t& v) { return Get(v); }
    CArchive& operator>>(std::int16_t& v) { return Get(v); }
    CArchive& operator>>(std::uint16_t& v) { return Get(v); }
    CArchive& operator>>(std::int32_t& v) { return Get(v); }
    CArchive& operator>>(std::uint32_t& v) { return Get(v); }
    CArchive& operator>>(std::int64_t& v) { return Get(v); }
    CArchive& operator>>(std::uint64_t& v) { return Get(v); }
    CArchive& operator>>(float& v) { return Get(v); }
    CArchive& operator>>(double& v) { return Get(v); }
    CArchive& operator>>(std::string& s) {
        s = ReadString();
        return *this;
    }
    CArchive& operator>>(LOGFONTA& lf);

    // A flag as a 32-bit 0 or 1; read back as true when not 0.
    void WriteFlag(bool v) { *this << std::int32_t(v ? 1 : 0); }
    bool ReadFlag();

    // The framework's string form: a 1-, 3- or 7-byte length prefix and the characters.
    void WriteString(const std::string& s);
    std::string ReadString();

    // Tagged objects: the null tag, a new class with its schema and name, or an index.
    void WriteObject(const CObject* object);
    // Reads one tagged object; `expected` (if given) is the class it must derive from.
    // Objects written twice come back as the same object.
    std::shared_ptr<CObject> ReadObject(const CRuntimeClass* expected = nullptr);

private:
    template <class T> CArchive& Put(T v) {
        unsigned char bytes[sizeof(T)];
        std::memcpy(bytes, &v, sizeof(T)); // the platform is little-endian
        Write(bytes, sizeof(T));
        return *this;
    }
    template <class T> CArchive& Get(T& v) {
        unsigned char bytes[sizeof(T)];
        Read(bytes, sizeof(T));
        std::memcpy(&v, bytes, sizeof(T));
        return *this;
    }
    void WriteIndexTag(std::uint32_t index, bool isClass);
    void CheckMode(Mode wanted) const;

    CArchiveStream* stream;
    Mode mode;
    // Store: classes and objects written, with their indexes (from 1).
    std::unordered_map<const void*, std::uint32_t> storeMap;
    // Load: entry i (from 1) is a class or an object.
    struct LoadEntry {
        const CRuntimeClass* cls = nullptr;
        std::shared_ptr<CObject> object;
    };
    std::vector<LoadEntry> loadMap{LoadEntry{}};
    std::uint32_t mapCount = 1;
};
