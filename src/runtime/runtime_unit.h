// The run-time's own unit: the first entry of the unit table.
#pragma once

// Installs the unhandled-exception filter and turns an escaped C++ exception
// into run-time error 217.
void RuntimeInitialization();
