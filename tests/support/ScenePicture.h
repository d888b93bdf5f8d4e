#pragma once
// Compares a painted picture pixel for pixel with the one recorded under tests/data/scenes/.
// TARVELIN_RECORD_SCENES=1 writes the pictures anew (after a deliberate change, checked by eye).

#include <gtest/gtest.h>

#include <QImage>
#include <cstdlib>
#include <filesystem>
#include <string>

inline void CompareScene(const std::string& name, const QImage& picture) {
    const std::string dir = TARVELIN_TEST_DATA "/scenes/";
    const std::string path = dir + name + ".png";
    const QImage painted = picture.convertToFormat(QImage::Format_RGB32);
    if (std::getenv("TARVELIN_RECORD_SCENES")) {
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        ASSERT_TRUE(painted.save(QString::fromStdString(path)));
        return;
    }
    QImage recorded(QString::fromStdString(path));
    ASSERT_FALSE(recorded.isNull()) << "no recorded picture " << path;
    recorded = recorded.convertToFormat(QImage::Format_RGB32);
    const std::string saved =
        "/tmp/tarvelin-scene-" + std::filesystem::path(name).filename().string() + ".png";
    if (recorded.size() != painted.size()) {
        painted.save(QString::fromStdString(saved));
        FAIL() << name << ": " << painted.width() << " x " << painted.height() << " instead of "
               << recorded.width() << " x " << recorded.height() << " (painted: " << saved << ")";
    }
    int differ = 0, firstX = -1, firstY = -1;
    for (int y = 0; y < painted.height(); ++y)
        for (int x = 0; x < painted.width(); ++x)
            if ((painted.pixel(x, y) & 0xFFFFFF) != (recorded.pixel(x, y) & 0xFFFFFF) &&
                differ++ == 0)
                firstX = x, firstY = y;
    if (differ) {
        painted.save(QString::fromStdString(saved));
        ADD_FAILURE() << name << ": " << differ << " pixels differ, the first at " << firstX << ","
                      << firstY << " (painted: " << saved << ")";
    }
}
