// Test options panel tests.
