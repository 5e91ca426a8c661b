#pragma once
#include <QFrame>

// A colour field that opens the colour dialog when clicked (the dialog is its owner's).
class ColorSwatch : public QFrame
{
    Q_OBJECT
public:
    explicit ColorSwatch(QWidget *parent = nullptr);

    void setColor(const QColor &color);
    QColor color() const;

Q_SIGNALS:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
};
