#pragma once
// The options "Pop-up hints" and "Status bar hints" for every window of the
// program: tool tips and status tips are let through or held back as the
// options say at the moment they would show, so a change applies at once.

// Installs the filter on the application once; later calls do nothing.
void InstallHintOptions();
