// A paint box: a control without content of its own that keeps an off-screen picture, lets its
// owner draw into it (OnPaint before every paint, or directly) and reports mouse input.
#pragma once

#include <QImage>
#include <QWidget>
#include <functional>

class TPaintBox : public QWidget {
    Q_OBJECT
public:
    using TMouseEvent =
        std::function<void(Qt::MouseButton button, Qt::MouseButtons buttons, int x, int y)>;

    explicit TPaintBox(QWidget* parent = nullptr);

    // The picture, always the control's size; what painting shows.
    QImage& Canvas();

    // Runs before every paint; it may redraw the whole picture.
    std::function<void()> OnPaint;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseMove;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    QImage canvas_;
};
