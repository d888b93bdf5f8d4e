// The Wave menu's dialogs as a user sees them: each value in the kind of box its value needs,
// only what applies enabled, and a recorded picture of each so a stray widget shows.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFont>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTableWidget>
#include <cmath>

#include "app/ExportTableDialog.h"
#include "app/GenerateDialog.h"
#include "app/NumberBox.h"
#include "app/TransformDialog.h"
#include "tests/app/ViewFixture.h"
#include "tests/support/ScenePicture.h"

namespace {

// Pictures in the fonts the program installs, whatever else the machine has.
struct WaveDialogs : ViewTest {
    QFont kept = QApplication::font();
    void SetUp() override {
        ViewTest::SetUp();
        QApplication::setFont(QFont(QStringLiteral("Liberation Sans"), 9));
    }
    void TearDown() override {
        QApplication::setFont(kept);
        ViewTest::TearDown();
    }
    // The request that the view's command `id` shows (answered with Cancel).
    TransformRequest RequestOf(UINT id) {
        Run(id);
        EXPECT_FALSE(dialogs.transformRequests.empty());
        return dialogs.transformRequests.back();
    }
    static QImage Picture(QDialog& dialog) {
        dialog.adjustSize();
        return dialog.grab().toImage();
    }
};

TEST_F(WaveDialogs, EachValueInItsKindOfBoxAndOnlyWhatApplies) {
    New(16);
    CTransformDialog smooth(nullptr, RequestOf(ID_WAVE_SMOOTH));
    auto* width = smooth.findChild<QSpinBox*>("value-0");
    ASSERT_NE(width, nullptr) << "a width is a whole number";
    EXPECT_EQ(width->text(), "3");
    EXPECT_EQ(smooth.findChildren<QAbstractSpinBox*>().size(), 3) << "width, from, to";

    CTransformDialog scale(nullptr, RequestOf(ID_WAVE_SCALE));
    auto* factor = scale.findChild<CNumberBox*>("value-0");
    ASSERT_NE(factor, nullptr);
    EXPECT_EQ(factor->text(), "1");
    factor->setValue(-0.25);
    EXPECT_EQ(factor->text(), "-0.25");
    factor->setValue(1234567.5);
    EXPECT_EQ(factor->text(), "1234567.5");

    // OK with values that make no sense says why and keeps the dialog open.
    CTransformDialog clip(nullptr, RequestOf(ID_WAVE_CLIP));
    clip.findChild<CNumberBox*>("value-0")->setValue(2);
    clip.accept();
    EXPECT_NE(clip.result(), QDialog::Accepted);
    EXPECT_EQ(clip.Problem(), "Low must not lie above High.");
    EXPECT_TRUE(clip.findChild<QWidget*>("problem")->isVisibleTo(&clip));
    clip.findChild<CNumberBox*>("value-0")->setValue(1); // Low = High holds every sample there
    clip.accept();
    EXPECT_EQ(clip.result(), QDialog::Accepted);

    CTransformDialog resample(nullptr, RequestOf(ID_WAVE_RESAMPLE));
    EXPECT_EQ(resample.findChildren<QAbstractSpinBox*>().size(), 1) << "the count alone";
    EXPECT_EQ(resample.findChild<QSpinBox*>("value-0")->text(), "16");

    CTransformDialog normalise(nullptr, RequestOf(ID_WAVE_NORMALISE));
    auto* peak = normalise.findChild<QWidget*>("value-0");
    auto* low = normalise.findChild<QWidget*>("value-1");
    EXPECT_TRUE(peak->isEnabled());
    EXPECT_FALSE(low->isEnabled());
    normalise.findChild<QCheckBox*>("option")->setChecked(true);
    EXPECT_FALSE(peak->isEnabled());
    EXPECT_TRUE(low->isEnabled());

    std::ofstream(dir / "d.csv") << "1;2\n";
    Choose(dir / "d.csv");
    CTransformDialog text(nullptr, RequestOf(ID_WAVE_IMPORT));
    auto* delimiter = text.findChild<QComboBox*>("choice");
    auto* decimalComma = text.findChild<QCheckBox*>("option");
    EXPECT_FALSE(decimalComma->isEnabled()) << "a comma cannot be both";
    delimiter->setCurrentIndex(1);
    EXPECT_TRUE(decimalComma->isEnabled());
    decimalComma->setChecked(true);
    EXPECT_TRUE(text.Answers().checked);
    delimiter->setCurrentIndex(0);
    EXPECT_FALSE(text.Answers().checked);
    EXPECT_EQ(text.findChild<QSpinBox*>("value-0")->text(), "1");

    CGenerateDialog generate(nullptr, GeneratorOptions(), 16, {});
    auto* shape = generate.findChild<QComboBox*>("shape");
    auto enabled = [&](const char* name) {
        return generate.findChild<QWidget*>(name)->isEnabled();
    };
    EXPECT_FALSE(enabled("duty"));
    EXPECT_FALSE(enabled("harmonics"));
    EXPECT_FALSE(enabled("seed"));
    EXPECT_TRUE(enabled("phase"));
    EXPECT_EQ(generate.findChild<QAbstractSpinBox*>("cycles")->text(), "1");
    shape->setCurrentIndex(shape->findText("Square"));
    EXPECT_TRUE(enabled("duty"));
    EXPECT_FALSE(enabled("symmetry"));
    shape->setCurrentIndex(shape->findText("White noise"));
    EXPECT_TRUE(enabled("seed"));
    EXPECT_FALSE(enabled("cycles"));
    EXPECT_FALSE(enabled("expression"));
    shape->setCurrentIndex(shape->findText("Harmonics"));
    EXPECT_TRUE(enabled("harmonics"));
    EXPECT_FALSE(enabled("duty"));
}

TEST_F(WaveDialogs, PicturesOfEachDialog) {
    New(256);
    const struct {
        UINT id;
        const char* name;
    } commands[] = {
        {ID_WAVE_NORMALISE, "normalise"}, {ID_WAVE_SCALE, "scale"},
        {ID_WAVE_REMOVE_DC, "remove-dc"}, {ID_WAVE_INVERT, "invert"},
        {ID_WAVE_REVERSE, "reverse"},     {ID_WAVE_SMOOTH, "smooth"},
        {ID_WAVE_QUANTISE, "quantise"},   {ID_WAVE_CLIP, "clip"},
        {ID_WAVE_RESAMPLE, "resample"},
    };
    for (const auto& c : commands) {
        CTransformDialog dialog(nullptr, RequestOf(c.id));
        CompareScene(std::string("dialogs/") + c.name, Picture(dialog));
    }
    std::ofstream(dir / "d.csv") << "1\n";
    Choose(dir / "d.csv");
    CTransformDialog text(nullptr, RequestOf(ID_WAVE_IMPORT));
    CompareScene("dialogs/import-text", Picture(text));
    std::ofstream(dir / "s.wav") << "RIFF";
    Choose(dir / "s.wav");
    CTransformDialog sound(nullptr, RequestOf(ID_WAVE_IMPORT));
    CompareScene("dialogs/import-sound", Picture(sound));

    CGenerateDialog generate(nullptr, GeneratorOptions(), 256, {});
    CompareScene("dialogs/generate", Picture(generate));
    std::vector<DataPoint> sine(256);
    for (int i = 0; i < 256; ++i)
        sine[std::size_t(i)] = {double(i), std::sin(i * 2 * M_PI / 256)};
    CExportTableDialog table(nullptr, TableOptions(), sine.data(), sine.size());
    table.findChild<QPlainTextEdit*>("preview")->setFont(
        QFont(QStringLiteral("Liberation Mono"), 9));
    CompareScene("dialogs/export-table", Picture(table));
}

} // namespace

namespace {

// Export Table fits a 1280 x 720 screen (less a title bar and a panel) in every form, with
// its preview and its Export and Cancel buttons in view.
TEST_F(WaveDialogs, ExportTableFitsASmallScreenInEveryForm) {
    std::vector<DataPoint> sine(2048);
    for (int i = 0; i < 2048; ++i)
        sine[std::size_t(i)] = {double(i), std::sin(i * 2 * M_PI / 2048)};
    CExportTableDialog table(nullptr, TableOptions(), sine.data(), sine.size());
    auto* format = table.findChild<QComboBox*>("format");
    for (int form = 0; form < format->count(); ++form) {
        format->setCurrentIndex(form);
        QApplication::processEvents();
        table.adjustSize();
        EXPECT_LE(table.size().width(), 1280) << format->currentText().toStdString();
        EXPECT_LE(table.size().height(), 720 - 80) << format->currentText().toStdString();
        EXPECT_GE(table.findChild<QPlainTextEdit*>("preview")->height(), 200);
    }
}

} // namespace
