// Shared helpers of the test programs.
