/* Tablewright skin: a Qt style sheet applied to the connection window.
   The window, its frames and labels keep the button-face colour the program gives them. */

QPushButton {
    color: #1d2733;
    border: 1px solid #7d8896;
    border-radius: 3px;
    background: qlineargradient(x1: 0, y1: 0, x2: 0, y2: 1, stop: 0 #fdfdfd, stop: 1 #dfe3e8);
}
QPushButton:hover {
    border-color: #3a78c2;
    background: qlineargradient(x1: 0, y1: 0, x2: 0, y2: 1, stop: 0 #ffffff, stop: 1 #e6eef8);
}
QPushButton:pressed {
    background: qlineargradient(x1: 0, y1: 0, x2: 0, y2: 1, stop: 0 #cfd8e3, stop: 1 #e9edf2);
}
QPushButton:focus {
    border-color: #3a78c2;
}

QLineEdit {
    border: 1px solid #9aa3ad;
    border-radius: 2px;
    background: #ffffff;
    selection-background-color: #3a78c2;
}
QLineEdit:focus {
    border-color: #3a78c2;
}
