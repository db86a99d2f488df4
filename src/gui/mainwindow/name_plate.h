#pragma once
// A name plate above or below a piece stand: the player's name centred in "ＭＳ 明朝", navy blue,
// with the side's mark at its left end.
#include <QString>
#include <QWidget>

namespace movra {

class NamePlate : public QWidget {
    Q_OBJECT
public:
    explicit NamePlate(const QString& objectName, QWidget* parent = nullptr);

    void setName(const QString& name);
    QString name() const { return name_; }
    // "▲" or "△"; empty for none.
    void setMark(const QString& mark);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString name_;
    QString mark_;
};

}  // namespace movra
