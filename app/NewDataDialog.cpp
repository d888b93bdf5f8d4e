#include "app/NewDataDialog.h"

#include <QDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// Leading blanks, then digits only; anything else, or more than 32 bits, reads 0.
std::uint64_t ReadUnsigned(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    std::uint64_t value = 0;
    std::size_t digits = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, ++digits) {
        value = value * 10 + std::uint64_t(text[i] - '0');
        if (value > 0xFFFFFFFFull)
            return 0;
    }
    return digits && i == text.size() ? value : 0;
}

} // namespace

DataCountCheck CheckDataCount(const std::string& text) {
    DataCountCheck check;
    const std::uint64_t value = ReadUnsigned(text);
    if (value == 0) {
        check.message = "Data count canot be 0!";
        return check;
    }
    if (value > 2147483647u) {
        check.message = "Please enter an integer between 1 and 2147483647.";
        return check;
    }
    check.ok = true;
    check.value = std::uint32_t(value);
    return check;
}

bool RunNewDataDialog(QWidget* parent, std::uint32_t& count) {
    QDialog dialog(parent);
    dialog.setWindowTitle(QStringLiteral("New Data"));
    auto* label = new QLabel(QStringLiteral("Data count:"));
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto* edit = new QLineEdit(QString::number(count));
    edit->setObjectName(QStringLiteral("edit-1000"));
    edit->selectAll(); // typing replaces the count, as in a dialog's first edit control
    auto* ok = new QPushButton(QStringLiteral("OK"));
    auto* cancel = new QPushButton(QStringLiteral("Cancel"));
    ok->setDefault(true);
    auto* row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(edit);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addLayout(row);
    layout->addLayout(buttons);
    QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
    QObject::connect(ok, &QPushButton::clicked, &dialog, [&] {
        const DataCountCheck check = CheckDataCount(edit->text().toStdString());
        if (!check.ok) {
            QMessageBox box(&dialog);
            box.setWindowTitle(QStringLiteral("Tarvelin"));
            box.setText(QString::fromStdString(check.message));
            box.exec();
            edit->setFocus();
            return;
        }
        count = check.value;
        dialog.accept();
    });
    return dialog.exec() == QDialog::Accepted;
}
