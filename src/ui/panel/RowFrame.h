#pragma once

#include <QUuid>
#include <QWidget>

namespace nookary {

// The chrome every row of the panel shares: a rounded translucent card, outlined in the
// accent colour while selected. Tells when the pointer enters it and when it is clicked.
class RowFrame : public QWidget
{
    Q_OBJECT

public:
    RowFrame(const QUuid &id, QWidget *parent = nullptr);

    QUuid id() const { return m_id; }
    bool isSelected() const { return m_selected; }
    void setSelected(bool selected);
    // What a drag of this row shows under the pointer: the row on an opaque card, since
    // the translucent one alone would be lost over other windows.
    QPixmap dragPixmap();

Q_SIGNALS:
    void hovered();
    void clicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    // A drag took over the press: its release is no click.
    void forgetPress() { m_pressed = false; }

private:
    QUuid m_id;
    bool m_selected = false;
    bool m_pressed = false;
};

} // namespace nookary
