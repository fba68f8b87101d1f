// tests/windows
