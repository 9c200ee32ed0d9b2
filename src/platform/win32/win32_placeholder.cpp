// Placeholder until the Win32 adapters land.
