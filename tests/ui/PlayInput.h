#pragma once

#include <QApplication>
#include <QEnterEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

#include <functional>
#include <string>

// Plays synthetic input on a widget, one letter a step:
// E enter, X leave, P press inside, O drag outside, I drag back inside, R release where the
// pointer is, K Space down, k Space up, D disable, d enable; other letters go to other.
// Returns the digit state() shows after each step.
inline std::string playInput(QWidget& widget, const char* steps, const std::function<int()>& state,
                             const std::function<void(char)>& other = {}) {
    const QPointF inside = QRectF(widget.rect()).center();
    QPointF pointer = inside;
    const auto send = [&](QEvent&& event) { QApplication::sendEvent(&widget, &event); };
    const auto mouse = [&](QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held) {
        send(QMouseEvent(type, pointer, widget.mapToGlobal(pointer), button, held, Qt::NoModifier));
    };
    std::string states;
    for (const char* c = steps; *c; ++c) {
        switch (*c) {
        case 'E':
            send(QEnterEvent(inside, inside, inside));
            break;
        case 'X':
            send(QEvent(QEvent::Leave));
            break;
        case 'P':
            pointer = inside;
            mouse(QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton);
            break;
        case 'O':
        case 'I':
            pointer = *c == 'I' ? inside : QPointF(-20, -20);
            mouse(QEvent::MouseMove, Qt::NoButton, Qt::LeftButton);
            break;
        case 'R':
            mouse(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton);
            break;
        case 'K':
        case 'k':
            send(QKeyEvent(*c == 'K' ? QEvent::KeyPress : QEvent::KeyRelease, Qt::Key_Space,
                           Qt::NoModifier, " "));
            break;
        case 'D':
        case 'd':
            widget.setEnabled(*c == 'd');
            break;
        default:
            other(*c);
        }
        states += static_cast<char>('0' + state());
    }
    return states;
}
