// itemdef library
