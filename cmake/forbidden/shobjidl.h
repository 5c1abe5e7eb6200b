#error "window headers are for app/, controls/ and framework/: this folder decides without a window"
