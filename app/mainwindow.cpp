// mainwindow
