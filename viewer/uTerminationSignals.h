#pragma once
// A request to end (SIGTERM from a session ending or a service manager,
// SIGINT from a terminal, SIGHUP) closes the main window as the user would,
// so that what it keeps on closing (placement, the search text, an author's
// chance to save) is not lost.
class QWidget;

void CloseOnTerminationSignals(QWidget* window);
