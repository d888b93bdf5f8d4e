#include "platform/Archive.h"

#include <bit>
#include <cerrno>
#include <climits>

static_assert(std::endian::native == std::endian::little, "archives are little-endian");

namespace {

constexpr std::uint16_t NullTag = 0;
constexpr std::uint16_t NewClassTag = 0xFFFF;
constexpr std::uint16_t ClassTag = 0x8000;
constexpr std::uint32_t BigClassTag = 0x80000000;
constexpr std::uint16_t BigObjectTag = 0x7FFF;
constexpr std::uint32_t MaxMapCount = 0x3FFFFFFE;
constexpr std::size_t MaxClassName = 64;

const char* CauseText(CArchiveException::Cause cause) {
    switch (cause) {
    case CArchiveException::endOfFile:
        return "unexpected end of archive";
    case CArchiveException::badIndex:
        return "archive refers to an object or class that does not exist";
    case CArchiveException::badClass:
        return "archive holds an unknown or unexpected class";
    case CArchiveException::badSchema:
        return "archive holds a class of another schema";
    case CArchiveException::readOnly:
        return "archive is for loading";
    case CArchiveException::writeOnly:
        return "archive is for storing";
    default:
        return "archive error";
    }
}

} // namespace

CArchiveException::CArchiveException(Cause cause, const std::string& what)
    : std::runtime_error(what.empty() ? CauseText(cause) : what), m_cause(cause) {}

std::size_t CMemFile::Read(void* buffer, std::size_t count) {
    std::size_t n = std::min(count, data.size() - position);
    if (n)
        std::memcpy(buffer, data.data() + position, n);
    position += n;
    return n;
}

void CMemFile::Write(const void* buffer, std::size_t count) {
    const auto* p = static_cast<const std::uint8_t*>(buffer);
    data.insert(data.end(), p, p + count);
    position = data.size();
}

CFileException::CFileException(Cause cause, std::string path)
    : std::runtime_error("file error: " + path), m_cause(cause), m_strFileName(std::move(path)) {}

CFileException::Cause CFileException::CauseFromErrno(int error) {
    switch (error) {
    case ENOENT:
        return fileNotFound;
    case ENAMETOOLONG:
    case ENOTDIR:
    case EISDIR:
        return badPath;
    case EMFILE:
    case ENFILE:
        return tooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EROFS:
        return accessDenied;
    case ENOSPC:
    case EDQUOT:
        return diskFull;
    case EIO:
        return hardIO;
    case EBADF: // also: not a regular file
        return invalidFile;
    default:
        return genericException;
    }
}

CStdioArchiveFile::CStdioArchiveFile(const std::string& p, Mode mode) : path(p) {
    file = std::fopen(p.c_str(), mode == modeRead ? "rb" : "wb");
    if (!file)
        throw CFileException(CFileException::CauseFromErrno(errno), p);
    if (mode == modeRead && std::fseek(file, 0, SEEK_END) == 0) {
        long end = std::ftell(file);
        size = end > 0 ? std::uint64_t(end) : 0;
        std::rewind(file);
    }
}

CStdioArchiveFile::~CStdioArchiveFile() {
    if (file)
        std::fclose(file);
}

std::size_t CStdioArchiveFile::Read(void* buffer, std::size_t count) {
    std::size_t n = std::fread(buffer, 1, count, file);
    position += n;
    return n;
}

void CStdioArchiveFile::Write(const void* buffer, std::size_t count) {
    if (std::fwrite(buffer, 1, count, file) != count)
        throw CFileException(CFileException::CauseFromErrno(errno), path);
}

std::uint64_t CStdioArchiveFile::Remaining() const {
    return size > position ? size - position : 0;
}

void CStdioArchiveFile::Close() {
    if (!file)
        return;
    int flushed = std::fflush(file);
    int error = errno;
    int closed = std::fclose(file);
    file = nullptr;
    if (flushed != 0 || closed != 0)
        throw CFileException(CFileException::CauseFromErrno(flushed ? error : errno), path);
}

CArchive::CArchive(CArchiveStream* s, Mode m) : stream(s), mode(m) {}

void CArchive::CheckMode(Mode wanted) const {
    if (mode != wanted)
        throw CArchiveException(wanted == store ? CArchiveException::readOnly
                                                : CArchiveException::writeOnly);
}

void CArchive::Write(const void* buffer, std::size_t count) {
    CheckMode(store);
    stream->Write(buffer, count);
}

void CArchive::Read(void* buffer, std::size_t count) {
    CheckMode(load);
    if (stream->Read(buffer, count) != count)
        throw CArchiveException(CArchiveException::endOfFile);
}

void CArchive::Require(std::uint64_t count) const {
    if (stream->Remaining() < count)
        throw CArchiveException(CArchiveException::endOfFile);
}

bool CArchive::ReadFlag() {
    std::int32_t v;
    *this >> v;
    return v != 0;
}

CArchive& CArchive::operator<<(const LOGFONTA& lf) {
    *this << lf.lfHeight << lf.lfWidth << lf.lfEscapement << lf.lfOrientation << lf.lfWeight;
    *this << lf.lfItalic << lf.lfUnderline << lf.lfStrikeOut << lf.lfCharSet << lf.lfOutPrecision
          << lf.lfClipPrecision << lf.lfQuality << lf.lfPitchAndFamily;
    Write(lf.lfFaceName, sizeof lf.lfFaceName);
    return *this;
}

CArchive& CArchive::operator>>(LOGFONTA& lf) {
    *this >> lf.lfHeight >> lf.lfWidth >> lf.lfEscapement >> lf.lfOrientation >> lf.lfWeight;
    *this >> lf.lfItalic >> lf.lfUnderline >> lf.lfStrikeOut >> lf.lfCharSet >> lf.lfOutPrecision >>
        lf.lfClipPrecision >> lf.lfQuality >> lf.lfPitchAndFamily;
    Read(lf.lfFaceName, sizeof lf.lfFaceName);
    lf.lfFaceName[sizeof lf.lfFaceName - 1] = '\0';
    return *this;
}

void CArchive::WriteString(const std::string& s) {
    const std::uint64_t n = s.size();
    if (n < 0xFF) {
        *this << std::uint8_t(n);
    } else if (n < 0xFFFE) {
        *this << std::uint8_t(0xFF) << std::uint16_t(n);
    } else if (n < 0xFFFFFFFF) {
        *this << std::uint8_t(0xFF) << std::uint16_t(0xFFFF) << std::uint32_t(n);
    } else {
        *this << std::uint8_t(0xFF) << std::uint16_t(0xFFFF) << std::uint32_t(0xFFFFFFFF) << n;
    }
    Write(s.data(), s.size());
}

std::string CArchive::ReadString() {
    auto readLength = [this](bool& wide) -> std::uint64_t {
        std::uint8_t b;
        *this >> b;
        if (b < 0xFF)
            return b;
        std::uint16_t w;
        *this >> w;
        if (w == 0xFFFE && !wide) { // a string of 16-bit characters follows
            wide = true;
            return ~std::uint64_t(0);
        }
        if (w < 0xFFFF)
            return w;
        std::uint32_t d;
        *this >> d;
        if (d < 0xFFFFFFFF)
            return d;
        std::uint64_t q;
        *this >> q;
        return q;
    };
    bool wide = false;
    std::uint64_t n = readLength(wide);
    if (wide)
        n = readLength(wide);
    const std::uint64_t bytes = wide ? n * 2 : n;
    if (wide && n > UINT64_MAX / 2)
        throw CArchiveException(CArchiveException::endOfFile);
    Require(bytes);
    std::string s(std::size_t(n), '\0');
    if (!wide) {
        Read(s.data(), s.size());
        return s;
    }
    for (std::size_t i = 0; i < s.size(); ++i) {
        std::uint16_t c;
        *this >> c;
        s[i] = c < 0x100 ? char(c) : '?';
    }
    return s;
}

void CArchive::WriteIndexTag(std::uint32_t index, bool isClass) {
    if (index < BigObjectTag) {
        *this << std::uint16_t(isClass ? (ClassTag | index) : index);
    } else {
        *this << BigObjectTag << std::uint32_t(isClass ? (BigClassTag | index) : index);
    }
}

void CArchive::WriteObject(const CObject* object) {
    CheckMode(store);
    if (!object) {
        *this << NullTag;
        return;
    }
    if (auto it = storeMap.find(object); it != storeMap.end()) {
        WriteIndexTag(it->second, false);
        return;
    }
    const CRuntimeClass* cls = object->GetRuntimeClass();
    if (!cls->create)
        throw CArchiveException(CArchiveException::badClass,
                                std::string("class cannot be archived: ") + cls->className);
    if (auto it = storeMap.find(cls); it != storeMap.end()) {
        WriteIndexTag(it->second, true);
    } else {
        const std::size_t len = std::strlen(cls->className);
        *this << NewClassTag << std::uint16_t(cls->schema) << std::uint16_t(len);
        Write(cls->className, len);
        storeMap[cls] = mapCount++;
    }
    storeMap[object] = mapCount++;
    const_cast<CObject*>(object)->Serialize(*this);
}

std::shared_ptr<CObject> CArchive::ReadObject(const CRuntimeClass* expected) {
    CheckMode(load);
    std::uint16_t tag;
    *this >> tag;
    std::uint32_t obTag;
    if (tag == BigObjectTag) {
        *this >> obTag;
    } else {
        obTag = (std::uint32_t(tag & ClassTag) << 16) | (tag & ~ClassTag & 0xFFFF);
    }
    const CRuntimeClass* cls = nullptr;
    if (!(obTag & BigClassTag)) {
        if (obTag == NullTag)
            return nullptr;
        if (obTag >= loadMap.size() || !loadMap[obTag].object)
            throw CArchiveException(CArchiveException::badIndex);
        std::shared_ptr<CObject> seen = loadMap[obTag].object;
        if (expected && !seen->IsKindOf(expected))
            throw CArchiveException(CArchiveException::badClass);
        return seen;
    }
    if (tag == NewClassTag) {
        std::uint16_t schema, len;
        *this >> schema >> len;
        if (len >= MaxClassName)
            throw CArchiveException(CArchiveException::badClass);
        char name[MaxClassName];
        Read(name, len);
        cls = CRuntimeClass::FromName(std::string_view(name, len));
        if (!cls)
            throw CArchiveException(CArchiveException::badClass,
                                    "archive holds an unknown class: " + std::string(name, len));
        if (schema != cls->schema)
            throw CArchiveException(CArchiveException::badSchema);
        if (mapCount >= MaxMapCount)
            throw CArchiveException(CArchiveException::badIndex);
        loadMap.push_back(LoadEntry{cls, nullptr});
        ++mapCount;
    } else {
        std::uint32_t index = obTag & ~BigClassTag;
        if (index == 0 || index >= loadMap.size() || !loadMap[index].cls || loadMap[index].object)
            throw CArchiveException(CArchiveException::badIndex);
        cls = loadMap[index].cls;
    }
    if (expected && !cls->IsDerivedFrom(expected))
        throw CArchiveException(CArchiveException::badClass);
    std::shared_ptr<CObject> object = cls->CreateObject();
    if (mapCount >= MaxMapCount)
        throw CArchiveException(CArchiveException::badIndex);
    loadMap.push_back(LoadEntry{nullptr, object});
    ++mapCount;
    object->Serialize(*this);
    return object;
}
