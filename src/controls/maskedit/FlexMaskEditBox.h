#pragma once

#include <QLineEdit>
#include <QString>
#include <QWidget>

// A single-line input control whose content is shaped by an input mask.
// The inner line edit `txtFlex` fills the control and takes its focus.
class FlexMaskEditBox : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString Mask READ Mask WRITE setMask)
    Q_PROPERTY(int MaxLength READ MaxLength WRITE setMaxLength)
    Q_PROPERTY(QString Text READ Text WRITE setText NOTIFY Change USER true)
    Q_PROPERTY(int SelStart READ SelStart WRITE setSelStart)
    Q_PROPERTY(int SelLength READ SelLength WRITE setSelLength)

public:
    explicit FlexMaskEditBox(QWidget* parent = nullptr);

    QString Mask() const { return mask_; }
    void setMask(const QString& New_Mask);
    int MaxLength() const { return txtFlex->maxLength(); }
    void setMaxLength(int New_MaxLength);
    QString Text() const;
    void setText(const QString& New_Text);
    int SelStart() const;
    void setSelStart(int New_SelStart);
    int SelLength() const;
    void setSelLength(int New_SelLength);

    QLineEdit* textBox() const { return txtFlex; }

signals:
    void Change();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QLineEdit* txtFlex;
    QString mask_;
};
