#include <gtest/gtest.h>

#include <cstring>

#include "platform/Archive.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

class CProbe : public CObject {
    DECLARE_SERIAL(CProbe)
public:
    std::int32_t value = 0;
    void Serialize(CArchive& ar) override {
        if (ar.IsStoring())
            ar << value;
        else
            ar >> value;
    }
};
IMPLEMENT_SERIAL(CProbe, CObject, 1)

class COther : public CProbe {
    DECLARE_SERIAL(COther)
};
IMPLEMENT_SERIAL(COther, CProbe, 1)

template <class F> Bytes Store(F f) {
    CMemFile file;
    CArchive ar(&file, CArchive::store);
    f(ar);
    return file.Bytes();
}

TEST(Archive, IntegersAndDoublesAreLittleEndian) {
    Bytes b = Store([](CArchive& ar) {
        ar << std::int32_t(-2) << std::uint16_t(0x1234) << 1.5 << std::uint8_t(7);
        ar.WriteFlag(true);
    });
    Bytes expected = {0xFE, 0xFF, 0xFF, 0xFF, 0x34, 0x12, 0, 0, 0, 0,
                      0,    0,    0xF8, 0x3F, 7,    1,    0, 0, 0};
    EXPECT_EQ(b, expected);
    CMemFile file(b);
    CArchive ar(&file, CArchive::load);
    std::int32_t i;
    std::uint16_t w;
    double d;
    std::uint8_t c;
    ar >> i >> w >> d >> c;
    EXPECT_EQ(i, -2);
    EXPECT_EQ(w, 0x1234);
    EXPECT_EQ(d, 1.5);
    EXPECT_TRUE(ar.ReadFlag());
    EXPECT_THROW(ar >> c, CArchiveException);
}

TEST(Archive, StringsInAllThreeLengthForms) {
    const std::string shortText(254, 'a'), mediumText(255, 'b'), longText(0xFFFE, 'c');
    Bytes b =
        Store([&](CArchive& ar) { ar << std::string() << shortText << mediumText << longText; });
    ASSERT_EQ(b.size(), 1 + (1 + 254) + (3 + 255) + (7 + 0xFFFE));
    EXPECT_EQ(b[0], 0);
    EXPECT_EQ(b[1], 254);
    EXPECT_EQ(b[256], 0xFF);
    EXPECT_EQ(b[257] | (b[258] << 8), 255);
    const std::size_t at = 1 + 255 + 258;
    EXPECT_EQ(b[at], 0xFF);
    EXPECT_EQ(b[at + 1] | (b[at + 2] << 8), 0xFFFF);
    EXPECT_EQ(b[at + 3] | (b[at + 4] << 8) | (b[at + 5] << 16), 0xFFFE);
    CMemFile file(b);
    CArchive ar(&file, CArchive::load);
    std::string s0, s1, s2, s3;
    ar >> s0 >> s1 >> s2 >> s3;
    EXPECT_EQ(s0, "");
    EXPECT_EQ(s1, shortText);
    EXPECT_EQ(s2, mediumText);
    EXPECT_EQ(s3, longText);
}

TEST(Archive, LengthThatTheInputCannotHoldThrowsBeforeAllocating) {
    Bytes huge = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                  0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 'x'};
    CMemFile file(huge);
    CArchive ar(&file, CArchive::load);
    std::string s;
    EXPECT_THROW(ar >> s, CArchiveException);
    Bytes cut = {10, 'a', 'b'};
    CMemFile file2(cut);
    CArchive ar2(&file2, CArchive::load);
    EXPECT_THROW(ar2 >> s, CArchiveException);
}

TEST(Archive, LogFontIsItsSixtyByteRecord) {
    LOGFONTA lf;
    lf.lfHeight = -13;
    lf.lfWeight = 700;
    lf.lfEscapement = 900;
    lf.lfCharSet = 1;
    lf.lfClipPrecision = 16;
    lf.lfQuality = 4;
    std::strcpy(lf.lfFaceName, "Arial");
    Bytes b = Store([&](CArchive& ar) { ar << lf; });
    ASSERT_EQ(b.size(), 60u);
    EXPECT_EQ(b[0], 0xF3);
    EXPECT_EQ(b[8], 0x84); // escapement 900
    EXPECT_EQ(b[9], 0x03);
    EXPECT_EQ(b[16], 0xBC); // weight 700
    EXPECT_EQ(b[23], 1);    // character set
    EXPECT_EQ(b[25], 16);   // clip precision
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[28])), "Arial");
    CMemFile file(b);
    CArchive ar(&file, CArchive::load);
    LOGFONTA back;
    ar >> back;
    EXPECT_EQ(std::memcmp(&back, &lf, sizeof lf), 0);
}

TEST(Archive, ObjectTagsCountClassesAndObjectsTogether) {
    CProbe a, b;
    COther c;
    a.value = 11;
    b.value = 22;
    c.value = 33;
    Bytes bytes = Store([&](CArchive& ar) {
        ar.WriteObject(&a); // new class (index 1), object 2
        ar.WriteObject(&b); // class tag 0x8001, object 3
        ar.WriteObject(nullptr);
        ar.WriteObject(&a); // object index 2
        ar.WriteObject(&c); // new class 4, object 5
    });
    Bytes expected = {0xFF, 0xFF, 1,    0,    6,   0,   'C', 'P', 'r', 'o', 'b', 'e', 11,   0,
                      0,    0,    0x01, 0x80, 22,  0,   0,   0,   0,   0,   2,   0,   0xFF, 0xFF,
                      1,    0,    6,    0,    'C', 'O', 't', 'h', 'e', 'r', 33,  0,   0,    0};
    EXPECT_EQ(bytes, expected);

    CMemFile file(bytes);
    CArchive ar(&file, CArchive::load);
    auto ra = ar.ReadObject(RUNTIME_CLASS(CProbe));
    auto rb = ar.ReadObject();
    EXPECT_EQ(ar.ReadObject(), nullptr);
    auto ra2 = ar.ReadObject();
    auto rc = ar.ReadObject(RUNTIME_CLASS(CProbe));
    EXPECT_EQ(static_cast<CProbe*>(ra.get())->value, 11);
    EXPECT_EQ(static_cast<CProbe*>(rb.get())->value, 22);
    EXPECT_EQ(ra, ra2);
    EXPECT_TRUE(rc->IsKindOf(RUNTIME_CLASS(COther)));
    EXPECT_EQ(static_cast<CProbe*>(rc.get())->value, 33);
}

TEST(Archive, BadObjectInputThrows) {
    auto load = [](Bytes b, const CRuntimeClass* expected = nullptr) {
        CMemFile file(std::move(b));
        CArchive ar(&file, CArchive::load);
        ar.ReadObject(expected);
    };
    auto cause = [&](Bytes b, const CRuntimeClass* expected = nullptr) {
        try {
            load(std::move(b), expected);
        } catch (const CArchiveException& e) {
            return e.m_cause;
        }
        return CArchiveException::none;
    };
    EXPECT_EQ(cause({0xFF, 0xFF, 1, 0, 4, 0, 'C', 'B', 'a', 'd'}), CArchiveException::badClass);
    EXPECT_EQ(cause({0xFF, 0xFF, 2, 0, 6, 0, 'C', 'P', 'r', 'o', 'b', 'e', 0, 0, 0, 0}),
              CArchiveException::badSchema);
    EXPECT_EQ(cause({0xFF, 0xFF, 1, 0, 6, 0, 'C', 'P', 'r', 'o', 'b', 'e', 1, 0}),
              CArchiveException::endOfFile);
    EXPECT_EQ(cause({0xFF, 0xFF, 1, 0, 200, 0, 'C'}), CArchiveException::badClass);
    EXPECT_EQ(cause({0xFF, 0xFF, 1, 0, 20, 0, 'C'}), CArchiveException::endOfFile);
    EXPECT_EQ(cause({0x05, 0x80}), CArchiveException::badIndex);
    EXPECT_EQ(cause({0x03, 0x00}), CArchiveException::badIndex);
    EXPECT_EQ(cause({0xFF}), CArchiveException::endOfFile);
    EXPECT_EQ(cause({0xFF, 0xFF, 1, 0, 6, 0, 'C', 'P', 'r', 'o', 'b', 'e', 0, 0, 0, 0},
                    RUNTIME_CLASS(COther)),
              CArchiveException::badClass);
    EXPECT_EQ(cause({0xFF, 0x7F, 0xFF, 0xFF, 0xFF, 0xFF}), CArchiveException::badIndex);
}

TEST(Archive, WrongDirectionThrows) {
    CMemFile file;
    CArchive ar(&file, CArchive::store);
    std::int32_t v;
    EXPECT_THROW(ar >> v, CArchiveException);
}

} // namespace
