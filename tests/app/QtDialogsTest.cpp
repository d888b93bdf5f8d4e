// The desktop dialogs themselves, answered from inside their own modal loops.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

#include "app/Commands.h"
#include "app/ExportTableDialog.h"
#include "app/GenerateDialog.h"
#include "app/NewDataDialog.h"
#include "app/QtAppDialogs.h"
#include "app/Resources.h"
#include "app/WaveformView.h"

namespace {

namespace fs = std::filesystem;

// Runs `answer` on the modal window that opens next.
void WhenModal(std::function<void(QWidget*)> answer) {
    QTimer::singleShot(0, [answer] {
        QWidget* modal = QApplication::activeModalWidget();
        ASSERT_NE(modal, nullptr);
        answer(modal);
    });
}

fs::path FreshFolder(const std::string& name) {
    const fs::path dir = fs::temp_directory_path() / ("tarvelin-dialogs-" + name);
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

TEST(QtDialogs, FilterTextsAreShownAsTheyStand) {
    EXPECT_EQ(QtNameFilters("Data file (*.TXT)|*.txt||"), QStringList{"Data file (*.TXT)"});
    EXPECT_EQ(QtNameFilters("Header file as integer (*.H)|*.h| Header file as float (*.H)|*.h||"),
              (QStringList{"Header file as integer (*.H)", " Header file as float (*.H)"}));
}

TEST(QtDialogs, OpenTakesANewNameInAFolderThatExistsAndKeepsNoSettings) {
    const fs::path home = FreshFolder("home");
    setenv("HOME", home.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home / ".config").c_str(), 1);
    KeepNoSettings();
    const fs::path dir = FreshFolder("open");
    CQtAppDialogs dialogs;
    FileDialogRequest request;
    request.defaultExtension = "txt";
    request.filter = "Data file (*.TXT)|*.txt||";
    bool refused = false;
    WhenModal([&](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->nameFilters(), QStringList{"Data file (*.TXT)"});
        dialog->selectFile(QString::fromStdString((dir / "missing" / "a.txt").string()));
        WhenModal([&](QWidget* box) { // the folder does not exist: a message, the dialog stays
            refused = qobject_cast<QMessageBox*>(box) != nullptr;
            box->close();
        });
        QMetaObject::invokeMethod(dialog, "accept", Qt::DirectConnection);
        EXPECT_TRUE(dialog->isVisible());
        dialog->selectFile(QString::fromStdString((dir / "new.txt").string()));
        QMetaObject::invokeMethod(dialog, "accept", Qt::DirectConnection);
    });
    const std::optional<FileDialogResult> chosen = dialogs.FileDialog(request);
    EXPECT_TRUE(refused);
    ASSERT_TRUE(chosen);
    EXPECT_EQ(chosen->path, (dir / "new.txt").string());
    EXPECT_EQ(chosen->filterIndex, 1);
    EXPECT_TRUE(fs::is_empty(home)) << "a settings file was written under HOME";
}

// The entry asked for is the one shown first, and the one chosen comes back by position.
TEST(QtDialogs, TheFilterAskedForIsChosenAtFirst) {
    const fs::path dir = FreshFolder("filter");
    CQtAppDialogs dialogs;
    FileDialogRequest request;
    request.save = true;
    request.filter = "Header file as integer (*.H)|*.h| Header file as float (*.H)|*.h||";
    request.filterIndex = 2;
    request.initialFile = (dir / "w.h").string();
    WhenModal([&](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(SelectedFilterIndex(*dialog), 1);
        QMetaObject::invokeMethod(dialog, "accept", Qt::DirectConnection);
    });
    const std::optional<FileDialogResult> chosen = dialogs.FileDialog(request);
    ASSERT_TRUE(chosen);
    EXPECT_EQ(chosen->filterIndex, 2);
}

TEST(QtDialogs, NewDataCountIsSelectedSoTypingReplacesIt) {
    std::uint32_t count = 256;
    WhenModal([](QWidget* dialog) {
        auto* edit = dialog->findChild<QLineEdit*>("edit-1000");
        ASSERT_NE(edit, nullptr);
        EXPECT_EQ(edit->selectedText(), "256");
        for (QChar c : QStringLiteral("512")) {
            QKeyEvent key(QEvent::KeyPress, Qt::Key_0 + (c.unicode() - '0'), Qt::NoModifier, c);
            QApplication::sendEvent(edit, &key);
        }
        for (auto* button : dialog->findChildren<QPushButton*>())
            if (button->text() == "OK")
                button->click();
    });
    ASSERT_TRUE(RunNewDataDialog(nullptr, count));
    EXPECT_EQ(count, 512u);
}

TEST(QtDialogs, ExportTableWritesWhatTheCommandLineWrites) {
    const fs::path dir = FreshFolder("table");
    std::vector<DataPoint> sine;
    {
        std::ofstream file(dir / "sine.txt", std::ios::binary);
        for (int i = 0; i < 256; ++i) {
            char line[64];
            std::snprintf(line, sizeof line, "%f\r\n", std::sin(i * 2 * M_PI / 256));
            file << line;
            sine.push_back({double(i), std::strtod(line, nullptr)});
        }
    }
    CExportTableDialog dialog(nullptr, TableOptions(), sine.data(), sine.size());
    dialog.findChild<QComboBox*>("type")->setCurrentIndex(3); // uint16_t
    dialog.findChild<QComboBox*>("mapping")->setCurrentIndex(1);
    dialog.findChild<QLineEdit*>("target-min")->setText("0");
    dialog.findChild<QLineEdit*>("target-max")->setText("4095");
    dialog.findChild<QCheckBox*>("hex")->setChecked(true);
    dialog.findChild<QSpinBox*>("per-line")->setValue(8);
    dialog.findChild<QLineEdit*>("name")->setText("Sine");
    dialog.findChild<QLineEdit*>("before")->setText("static const");
    dialog.findChild<QLineEdit*>("after")->setText("PROGMEM");
    dialog.findChild<QLineEdit*>("guard")->setText("SINE_H");
    EXPECT_TRUE(dialog.Problem().isEmpty());
    std::string fromDialog;
    ASSERT_TRUE(WriteTable(StringSink(fromDialog), sine.data(), sine.size(), dialog.Options()));
    EXPECT_NE(fromDialog.find("static const uint16_t Sine[256] PROGMEM = {"), std::string::npos);

    const std::string command = std::string(TARVELIN_TABLE_COMMAND) +
                                " export --type uint16 --scale auto:0:4095 --hex --per-line 8 "
                                "--name Sine --before 'static const' --after PROGMEM --guard "
                                "SINE_H --eol lf " +
                                (dir / "sine.txt").string();
    FILE* pipe = popen(command.c_str(), "r");
    std::string fromCommand;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        fromCommand.append(buffer, n);
    EXPECT_EQ(pclose(pipe), 0);
    EXPECT_EQ(fromCommand, fromDialog);

    dialog.findChild<QLineEdit*>("name")->setText("2bad");
    EXPECT_FALSE(dialog.Problem().isEmpty()) << "a name that is no C identifier is refused";

    // A 12-bit $readmemh table for an FPGA, as the command line writes it.
    dialog.findChild<QLineEdit*>("name")->setText("Sine");
    auto* format = dialog.findChild<QComboBox*>("format");
    format->setCurrentIndex(format->findData(int(TableFormat::Mem)));
    dialog.findChild<QSpinBox*>("width")->setValue(12);
    dialog.findChild<QLineEdit*>("target-min")->clear();
    dialog.findChild<QLineEdit*>("target-max")->clear();
    EXPECT_FALSE(dialog.findChild<QComboBox*>("type")->isEnabled());
    EXPECT_FALSE(dialog.findChild<QCheckBox*>("hex")->isEnabled());
    EXPECT_TRUE(dialog.Problem().isEmpty()) << dialog.Problem().toStdString();
    std::string mem;
    ASSERT_TRUE(WriteTable(StringSink(mem), sine.data(), sine.size(), dialog.Options()));
    FILE* memPipe =
        popen((std::string(TARVELIN_TABLE_COMMAND) +
               " export --format mem --width 12 --scale auto --per-line 8 --name Sine " +
               (dir / "sine.txt").string())
                  .c_str(),
              "r");
    std::string memCommand;
    while ((n = std::fread(buffer, 1, sizeof buffer, memPipe)) > 0)
        memCommand.append(buffer, n);
    EXPECT_EQ(pclose(memPipe), 0);
    EXPECT_EQ(memCommand, mem);
    EXPECT_EQ(CExportTableDialog::ExtensionOf(TableFormat::Wav), "wav");
}

TEST(QtDialogs, GenerateShowsWhyAnExpressionCannotBeUsed) {
    int previews = 0;
    CGenerateDialog dialog(nullptr, GeneratorOptions(), 16,
                           [&](const GeneratorOptions& o, std::uint32_t n) {
                               ++previews;
                               return Generate(o, n, nullptr, 0).error;
                           });
    EXPECT_GT(previews, 0);
    EXPECT_TRUE(dialog.Problem().isEmpty());
    dialog.findChild<QComboBox*>("shape")->setCurrentIndex(9); // Expression
    dialog.findChild<QLineEdit*>("expression")->setText("sin(");
    EXPECT_TRUE(dialog.Problem().contains("cannot be used")) << dialog.Problem().toStdString();
    dialog.findChild<QLineEdit*>("expression")->setText("x*2");
    EXPECT_TRUE(dialog.Problem().isEmpty());
    dialog.findChild<QCheckBox*>("new-count")->setChecked(true);
    dialog.findChild<QLineEdit*>("count")->setText("0");
    EXPECT_EQ(dialog.Problem(), "Data count canot be 0!");
    dialog.findChild<QLineEdit*>("count")->setText("100");
    EXPECT_EQ(dialog.Count(), 100u);
    EXPECT_EQ(dialog.Options().shape, Shape::Expression);
}

TEST(QtDialogs, GenerateWaitsForTypingToPauseOnALongWaveform) {
    int previews = 0;
    std::string last;
    CGenerateDialog dialog(nullptr, GeneratorOptions(), CGenerateDialog::SettleFrom,
                           [&](const GeneratorOptions& o, std::uint32_t) {
                               ++previews;
                               last = o.expression;
                               return o.expression == "1/" ? std::string("cannot be used") : "";
                           });
    EXPECT_EQ(previews, 1);                                    // what the dialog opens with
    dialog.findChild<QComboBox*>("shape")->setCurrentIndex(9); // Expression
    for (const char* typed : {"x", "x*", "x*3"})
        dialog.findChild<QLineEdit*>("expression")->setText(typed);
    EXPECT_EQ(previews, 1);
    QElapsedTimer waited;
    waited.start();
    while (previews == 1 && waited.elapsed() < 5000)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_EQ(previews, 2) << "one preview for the pause, of the latest text";
    EXPECT_EQ(last, "x*3");

    // OK right after typing previews first, and keeps the dialog open if that fails.
    dialog.findChild<QLineEdit*>("expression")->setText("1/");
    dialog.accept();
    EXPECT_EQ(previews, 3);
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_FALSE(dialog.Problem().isEmpty());
    dialog.findChild<QLineEdit*>("expression")->setText("x");
    dialog.accept();
    EXPECT_EQ(previews, 4);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

} // namespace

namespace {

// Qt gives the chosen entry's label back tidied (" Header file as float" loses its blank): the
// form must still be the one of the entry picked in the real dialog.
TEST(QtDialogs, SaveCSourceWritesTheFormOfTheEntryPicked) {
    const fs::path dir = FreshFolder("c-source");
    std::ofstream(dir / "w.txt", std::ios::binary) << "1.25\r\n-2.5\r\n";
    CQtAppDialogs dialogs;
    CWaveformView view(dialogs, [](const std::string&) {});
    view.Create();
    WhenModal([&](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        ASSERT_NE(dialog, nullptr);
        dialog->selectFile(QString::fromStdString((dir / "w.txt").string()));
        QMetaObject::invokeMethod(dialog, "accept", Qt::DirectConnection);
    });
    RunCommand(view, ID_FILE_OPEN, dialogs);
    ASSERT_EQ(view.SampleCount(), 2u);
    const std::string forms[] = {
        "\r\nconst int Waveform[2] = {\r\n\t1, -2\r\n};\r\n",
        "\r\nconst float Waveform[2] = {\r\n\t1.250000,\r\n\t-2.500000,\r\n};\r\n"};
    for (int entry : {1, 0}) {
        const fs::path target = dir / ("w" + std::to_string(entry) + ".h");
        WhenModal([&](QWidget* w) {
            auto* types = w->findChild<QComboBox*>("fileTypeCombo");
            ASSERT_NE(types, nullptr);
            ASSERT_EQ(types->count(), 2);
            types->setCurrentIndex(entry);
            emit types->activated(entry);
            auto* name = w->findChild<QLineEdit*>("fileNameEdit");
            ASSERT_NE(name, nullptr);
            name->setText(QString::fromStdString(target.string()));
            QMetaObject::invokeMethod(w, "accept", Qt::DirectConnection);
        });
        RunCommand(view, ID_FILE_SAVE_C, dialogs);
        std::ifstream in(target, std::ios::binary);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), forms[entry]) << entry;
    }
}

} // namespace
