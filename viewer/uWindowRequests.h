#pragma once
// What the main window is asked to look up: by its own command line, and by
// later starts of the program through the running one.
class TFormKodra3;
class TSingleInstance;
struct TInstanceRequest;

// The window looks up what its own command line asks once the dictionaries
// are loaded.
void SetStartRequest(TFormKodra3& window, const TInstanceRequest& request);

// The window answers the requests of later starts, each after the handler
// that read it has returned: it looks the word up, catches the selection or
// just comes forward.
void ConnectRequests(TSingleInstance& instance, TFormKodra3& window);
