// catalogue library
