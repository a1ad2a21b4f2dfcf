// Places a few masked fields in a window; "Characteristics..." opens the
// settings page for the field chosen in the list, and the value of every field
// is shown live below it.
#include <QApplication>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "Characteristics.h"
#include "FlexMaskEditBox.h"

namespace {

struct Sample {
    const char* name;
    const char* label;
    int fieldType;
    const char* mask;
    const char* format;
};

const Sample kSamples[] = {
    {"mskPhone", "&Phone", 0, "(###) ###-####", ""},
    {"mskCode", "&Code", 0, ">?\?-<?\?", ""},
    {"mskDate", "&Date", 1, "", ""},
    {"mskAmount", "&Amount", 2, "9999.99", "#,##0.00"},
    {"mskInternalID", "&Internal ID#", 2, "####", "####"},
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Masked fields"));
    auto* layout = new QVBoxLayout(&window);
    auto* form = new QFormLayout;
    layout->addLayout(form);

    QList<FlexMaskEditBox*> fields;
    auto* values = new QLabel(&window);
    auto showValues = [&fields, values] {
        QStringList lines;
        for (FlexMaskEditBox* field : fields) {
            lines << QStringLiteral("%1 = \"%2\"").arg(field->objectName(), field->Text());
        }
        values->setText(lines.join(u'\n'));
    };
    auto* chooser = new QComboBox(&window);
    for (const Sample& sample : kSamples) {
        auto* field = new FlexMaskEditBox(&window);
        field->setObjectName(QLatin1String(sample.name));
        field->setFieldType(sample.fieldType);
        if (sample.fieldType == 2) field->setDecimalSeperator(QStringLiteral("."));
        field->setFormatString(QLatin1String(sample.format));
        field->setMask(QLatin1String(sample.mask));
        field->setBeepOnError(true);
        auto* label = new QLabel(QString::fromUtf8(sample.label), &window);
        label->setBuddy(field);
        form->addRow(label, field);
        QObject::connect(field, &FlexMaskEditBox::Change, &window, showValues);
        fields << field;
        chooser->addItem(field->objectName());
    }
    auto* open = new QPushButton(QStringLiteral("Characteristics..."), &window);
    QObject::connect(open, &QPushButton::clicked, &window, [&] {
        Characteristics page(&window);
        page.SetSelection({fields.at(chooser->currentIndex())});
        page.exec();
        showValues();
    });
    layout->addWidget(chooser);
    layout->addWidget(open);
    layout->addWidget(values);
    showValues();
    window.show();
    return app.exec();
}
