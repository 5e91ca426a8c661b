#pragma once
#include <QLabel>

// A one-line text that gives way to its neighbours: where its place is too narrow, the text is
// cut with an ellipsis and the whole text becomes its tooltip.
class ElidedLabel final : public QLabel
{
public:
    explicit ElidedLabel(const QString &text, QWidget *parent = nullptr);

    void setFullText(const QString &text);
    QString fullText() const { return m_full; }

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void refit();

    QString m_full;
};
