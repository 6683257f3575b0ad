# Conversion run: library conversion and its tests.
