# Job intake: library intake and its tests.
