// entry library
